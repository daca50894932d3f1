// SPDX-License-Identifier: MIT
#include "tools/device_simulator.h"

#include <algorithm>
#include <array>
#include <span>
#include <utility>

#include "discovery/wire.h"

namespace nimbrel::tools {

namespace {

using Clock = std::chrono::steady_clock;

// Stop is looked at no less often than this, even while replies are due much later.
constexpr std::chrono::milliseconds StopCheck{20};

// Large enough for any UDP datagram, so that whatever arrives is logged whole.
constexpr std::size_t LargestDatagram = 65536;

constexpr std::size_t TextCapacity = 64;

void appendElement(std::vector<std::uint8_t>& reply, std::uint8_t type,
                   std::span<const std::uint8_t> value) {
    reply.push_back(type);
    reply.push_back(0);
    reply.push_back(static_cast<std::uint8_t>(value.size()));
    reply.insert(reply.end(), value.begin(), value.end());
}

void appendText(std::vector<std::uint8_t>& reply, std::uint8_t type, const std::string& text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    appendElement(reply, type, {bytes, text.size()});
}

bool isRequest(std::span<const std::uint8_t> bytes) {
    return std::ranges::equal(bytes, DiscoveryRequest);
}

// Whether `from` is the simulator's own socket at `local`: answering it would send the replies
// to itself, and a reply that reads as a request would be answered again, without end.
bool fromItself(const Peer& from, const Peer& local) {
    if (from.port != local.port) {
        return false;
    }
    if (from.address == local.address) {
        return true;
    }
    if (local.address != Ipv4Bytes{0, 0, 0, 0}) {
        return false;
    }
    // Bound to the any-address, it receives at every address of this computer.
    if (from.address[0] == 127) {
        return true;
    }
    const std::vector<platform::LocalInterface> own = platform::localInterfaces();
    return std::ranges::any_of(own, [&from](const platform::LocalInterface& candidate) {
        return candidate.address == from.address;
    });
}

}  // namespace

Result<std::vector<std::uint8_t>> buildReply(const DeviceSpec& device) {
    for (const std::string* text : {&device.model, &device.firmware, &device.copy}) {
        if (text->size() > TextCapacity) {
            return ownError("ETextTooLong", "a device text holds at most 64 bytes");
        }
    }
    std::vector<std::uint8_t> reply(DiscoveryRequest.begin(), DiscoveryRequest.end());
    std::array<std::uint8_t, 10> address{};
    std::ranges::copy(device.mac, address.begin());
    std::ranges::copy(device.ipv4, address.begin() + 6);
    appendElement(reply, FieldAddress, address);
    appendText(reply, FieldFirmware, device.firmware);
    appendText(reply, FieldModel, device.model);
    appendText(reply, FieldCopyText, device.copy);
    reply[3] = static_cast<std::uint8_t>(reply.size() - DiscoveryRequest.size());
    return reply;
}

DeviceSimulator::DeviceSimulator(std::vector<SimulatedReply> replies, std::size_t queueCapacity)
    : replies_(std::move(replies)), queue_(queueCapacity) {
    // Equal delays keep the order in which the replies were given.
    std::ranges::stable_sort(replies_, {}, &SimulatedReply::delay);
}

DeviceSimulator::~DeviceSimulator() {
    if (socket_ != platform::NoSocket) {
        platform::closeSocket(socket_);
    }
    if (libraryStarted_) {
        platform::stopSocketLibrary();
    }
}

Result<> DeviceSimulator::listen(const Peer& listen) {
    if (Result<> started = platform::startSocketLibrary(); !started.ok()) {
        return started;
    }
    libraryStarted_ = true;
    const Result<platform::SocketHandle> opened = platform::openDatagramSocket();
    if (!opened.ok()) {
        return opened.error();
    }
    socket_ = opened.value();
    if (Result<> bound = platform::bindSocket(socket_, listen); !bound.ok()) {
        return bound;
    }
    const Result<Peer> local = platform::localName(socket_);
    if (!local.ok()) {
        return local.error();
    }
    local_ = local.value();
    return {};
}

void DeviceSimulator::setReceiveObserver(std::function<void(const ReceivedRequest&)> observer) {
    observer_ = std::move(observer);
}

void DeviceSimulator::setQueueFullObserver(std::function<void()> observer) {
    queueFullObserver_ = std::move(observer);
}

std::vector<ReceivedRequest> DeviceSimulator::requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

void DeviceSimulator::run(const std::atomic<bool>& stop) {
    runUntilAnswered(stop, 0);
}

void DeviceSimulator::runUntilAnswered(const std::atomic<bool>& stop, int requestLimit) {
    std::vector<std::uint8_t> buffer(LargestDatagram);
    const auto limitReached = [&] { return requestLimit > 0 && answered_ >= requestLimit; };

    while (!stop.load()) {
        sendDue();
        if (limitReached() && queue_.size() == 0) {
            return;
        }
        auto wait = StopCheck;
        if (const auto due = queue_.nextDue()) {
            const auto untilDue = std::chrono::ceil<std::chrono::milliseconds>(*due - Clock::now());
            wait = std::clamp(untilDue, std::chrono::milliseconds{0}, StopCheck);
        }
        // Past the limit datagrams are still read, so that the wait for the last replies ends
        // by their time and not by a readable socket.
        if (platform::waitReadable(socket_, static_cast<int>(wait.count()))) {
            receiveOne(buffer, !limitReached());
        }
    }
}

void DeviceSimulator::sendDue() {
    while (const auto due = queue_.popDue(Clock::now())) {
        // A requester that has gone away is the requester's business: failures are ignored.
        if (platform::sendTo(socket_, replies_[due->reply].bytes, due->to).ok()) {
            ++repliesSent_;
        }
    }
}

void DeviceSimulator::receiveOne(std::span<std::uint8_t> buffer, bool answer) {
    // Errors here (an earlier reply's destination refusing it, on some platforms) concern
    // no datagram of ours; the simulator goes on listening.
    const Result<platform::ReceivedDatagram> received = platform::receiveFrom(socket_, buffer);
    if (!received.ok() || received.value().overlong) {
        return;
    }
    ReceivedRequest request;
    request.from = received.value().from;
    request.bytes.assign(buffer.begin(), buffer.begin() + received.value().size);
    {
        const std::lock_guard lock(mutex_);
        if (requests_.size() < KeptRequests) {
            requests_.push_back(request);
        }
    }
    if (observer_) {
        observer_(request);
    }
    if (!answer || !isRequest(request.bytes) || fromItself(request.from, local_)) {
        return;
    }
    const Clock::time_point arrived = Clock::now();
    for (std::size_t reply = 0; reply < replies_.size(); ++reply) {
        if (queue_.push(arrived + replies_[reply].delay, {reply, request.from}) &&
            ++repliesDropped_ == 1 && queueFullObserver_) {
            queueFullObserver_();
        }
    }
    ++answered_;
}

}  // namespace nimbrel::tools
