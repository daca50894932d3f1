#include "tools/device_simulator.h"

#include <algorithm>
#include <array>
#include <map>
#include <span>
#include <stdexcept>
#include <thread>
#include <utility>

#include "discovery/failure.h"
#include "discovery/wire.h"

namespace nimbrel::tools {

namespace {

using Clock = std::chrono::steady_clock;

// Stop is looked at no less often than this, even while replies are due much later.
constexpr std::chrono::milliseconds StopCheck{20};

// Large enough for any UDP datagram, so that whatever arrives is logged whole.
constexpr std::size_t LargestDatagram = 65536;

constexpr std::size_t TextCapacity = 64;

void AppendElement(std::vector<std::uint8_t>& reply, std::uint8_t type,
                   std::span<const std::uint8_t> value) {
    reply.push_back(type);
    reply.push_back(0);
    reply.push_back(static_cast<std::uint8_t>(value.size()));
    reply.insert(reply.end(), value.begin(), value.end());
}

void AppendText(std::vector<std::uint8_t>& reply, std::uint8_t type, const std::string& text) {
    if (text.size() > TextCapacity) {
        throw std::invalid_argument("a device text holds at most 64 bytes");
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    AppendElement(reply, type, {bytes, text.size()});
}

bool IsRequest(std::span<const std::uint8_t> bytes) {
    return std::ranges::equal(bytes, DiscoveryRequest);
}

struct PendingReply {
    const SimulatedReply* reply;
    platform::Peer to;
};

}  // namespace

std::vector<std::uint8_t> BuildReply(const DeviceSpec& device) {
    std::vector<std::uint8_t> reply(DiscoveryRequest.begin(), DiscoveryRequest.end());
    std::array<std::uint8_t, 10> address{};
    std::ranges::copy(device.mac, address.begin());
    std::ranges::copy(device.ipv4, address.begin() + 6);
    AppendElement(reply, FieldAddress, address);
    AppendText(reply, FieldFirmware, device.firmware);
    AppendText(reply, FieldModel, device.model);
    AppendText(reply, FieldCopyText, device.copy);
    reply[3] = static_cast<std::uint8_t>(reply.size() - DiscoveryRequest.size());
    return reply;
}

DeviceSimulator::DeviceSimulator(const platform::Peer& listen, std::vector<SimulatedReply> replies)
    : replies_(std::move(replies)) {
    // Equal delays keep the order in which the replies were given.
    std::ranges::stable_sort(replies_, {}, &SimulatedReply::delay);
    if (const int code = platform::StartSocketLibrary(); code != 0) {
        throw SocketError(code);
    }
    int code = 0;
    socket_ = platform::OpenDatagramSocket(code);
    if (socket_ == platform::NoSocket) {
        platform::StopSocketLibrary();
        throw SocketError(code);
    }
    code = platform::BindSocket(socket_, listen);
    if (code == 0) {
        code = platform::LocalName(socket_, local_);
    }
    if (code != 0) {
        platform::CloseSocket(socket_);
        platform::StopSocketLibrary();
        throw SocketError(code);
    }
}

DeviceSimulator::~DeviceSimulator() {
    platform::CloseSocket(socket_);
    platform::StopSocketLibrary();
}

void DeviceSimulator::SetReceiveObserver(std::function<void(const ReceivedRequest&)> observer) {
    observer_ = std::move(observer);
}

std::vector<ReceivedRequest> DeviceSimulator::Requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

void DeviceSimulator::Run(const std::atomic<bool>& stop) {
    RunUntilAnswered(stop, 0);
}

void DeviceSimulator::RunUntilAnswered(const std::atomic<bool>& stop, int requestLimit) {
    std::vector<std::uint8_t> buffer(LargestDatagram);
    // Keyed by the time each reply is due; equal times keep their order of insertion.
    std::multimap<Clock::time_point, PendingReply> pending;
    int answered = 0;
    const auto limitReached = [&] { return requestLimit > 0 && answered >= requestLimit; };

    while (!stop.load()) {
        const Clock::time_point now = Clock::now();
        while (!pending.empty() && pending.begin()->first <= now) {
            const PendingReply& due = pending.begin()->second;
            int sent = 0;
            // A requester that has gone away is the requester's business: failures are ignored.
            if (platform::SendTo(socket_, due.reply->bytes, due.to, sent) == 0) {
                ++repliesSent_;
            }
            pending.erase(pending.begin());
        }
        if (limitReached() && pending.empty()) {
            return;
        }

        auto wait = StopCheck;
        if (!pending.empty()) {
            const auto untilDue =
                std::chrono::ceil<std::chrono::milliseconds>(pending.begin()->first - Clock::now());
            wait = std::clamp(untilDue, std::chrono::milliseconds{0}, StopCheck);
        }
        if (limitReached()) {
            std::this_thread::sleep_for(wait);
            continue;
        }
        if (!platform::WaitReadable(socket_, static_cast<int>(wait.count()))) {
            continue;
        }

        int received = 0;
        ReceivedRequest request;
        // Errors here (an earlier reply's destination refusing it, on some platforms) concern
        // no datagram of ours; the simulator goes on listening.
        if (platform::ReceiveFrom(socket_, buffer, received, &request.from) != 0) {
            continue;
        }
        const auto size = static_cast<std::size_t>(received);
        request.bytes.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(size));
        {
            const std::lock_guard lock(mutex_);
            if (requests_.size() < KeptRequests) {
                requests_.push_back(request);
            }
        }
        if (observer_) {
            observer_(request);
        }
        if (!IsRequest(request.bytes)) {
            continue;
        }
        const Clock::time_point arrived = Clock::now();
        for (const SimulatedReply& reply : replies_) {
            pending.emplace(arrived + reply.delay, PendingReply{&reply, request.from});
        }
        ++answered;
    }
}

}  // namespace nimbrel::tools
