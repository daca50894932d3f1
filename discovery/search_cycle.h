// One search: look-up, broadcast, pause, receive until a gap, then hand the table on.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "discovery/device_table.h"
#include "discovery/endpoint.h"

namespace nimbrel {

/// Picks the workstation's address from the host name's list: the last entry outside
/// 127.0.0.0/8, or "" (any address) when none is left. nullopt when the look-up failed.
std::optional<std::string> ChooseLocalAddress(const std::optional<std::vector<Ipv4Bytes>>& list);

/// Looks the host name up anew; see ChooseLocalAddress.
std::optional<std::string> LookUpLocalAddress();

/// The parts of the caller that the search drives.
struct SearchHooks {
    std::function<void()> eventPass;       // dispatch every pending event of the caller
    std::function<void()> startAnimation;  // start the search animation, then show it
    std::function<void()> stopAnimation;   // stop it, then hide it
    std::function<void(const DeviceTable&, int count)> fillServerList;
};

class SearchCycle {
public:
    using LocalAddressLookup = std::function<std::optional<std::string>()>;

    SearchCycle(DeviceTable& table, UdpEndpoint& endpoint, SearchHooks hooks,
                LocalAddressLookup lookup = LookUpLocalAddress,
                std::chrono::milliseconds pause = std::chrono::milliseconds{1000});

    /// Runs one search. Returns false without doing anything when a search is already running
    /// (a trigger from inside its event passes) or when the look-up fails; failures of the
    /// socket layer are thrown and leave the search where it stood.
    bool Run();

    bool Running() const { return running_; }

private:
    DeviceTable& table_;
    UdpEndpoint& endpoint_;
    SearchHooks hooks_;
    LocalAddressLookup lookup_;
    std::chrono::milliseconds pause_;
    ReceiveBuffer buffer_{};
    bool running_ = false;
};

}  // namespace nimbrel
