#include "discovery/search_cycle.h"

#include <thread>

namespace nimbrel {

namespace {

class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& flag_;
};

}  // namespace

std::optional<std::string> ChooseLocalAddress(const std::optional<std::vector<Ipv4Bytes>>& list) {
    if (!list) {
        return std::nullopt;
    }
    // A host name that resolves only to loopback (127.0.1.1 is common) would send the
    // broadcast nowhere; any address lets the system pick the outgoing interface instead.
    std::string chosen;
    for (const Ipv4Bytes& address : *list) {
        if (address[0] != 127) {
            chosen = FormatIpv4(address);
        }
    }
    return chosen;
}

std::optional<std::string> LookUpLocalAddress() {
    return ChooseLocalAddress(platform::HostAddresses());
}

SearchCycle::SearchCycle(DeviceTable& table, UdpEndpoint& endpoint, SearchHooks hooks,
                         LocalAddressLookup lookup, std::chrono::milliseconds pause)
    : table_(table),
      endpoint_(endpoint),
      hooks_(std::move(hooks)),
      lookup_(std::move(lookup)),
      pause_(pause) {}

bool SearchCycle::Run() {
    if (running_) {
        return false;  // its event passes must not start a search on the same socket and table
    }
    RunningFlag flag(running_);

    const std::optional<std::string> local = lookup_();
    if (!local) {
        return false;
    }
    table_.ClearTable();
    endpoint_.CloseEndpoint();
    endpoint_.OpenEndpoint();
    endpoint_.SetLocalAddress(local->empty() ? "0.0.0.0" : *local);
    endpoint_.BindEndpoint();

    if (hooks_.startAnimation) {
        hooks_.startAnimation();
    }
    endpoint_.SendDatagram(DiscoveryRequest);
    // Replies that come meanwhile queue in the socket; nothing is dispatched during the pause.
    std::this_thread::sleep_for(pause_);

    buffer_.fill(0);
    while (endpoint_.ReceiveDatagram(buffer_, hooks_.eventPass) > 0) {
        if (IsDiscoveryReply(buffer_)) {
            table_.AddReply(buffer_);
            buffer_.fill(0);
        }
        // A rejected datagram keeps its bytes: the next one overwrites only as many as it has.
    }

    if (hooks_.fillServerList) {
        hooks_.fillServerList(table_, table_.RecordCount());
    }
    if (hooks_.stopAnimation) {
        hooks_.stopAnimation();
    }
    return true;
}

}  // namespace nimbrel
