// SPDX-License-Identifier: MIT
#include "bench/gui/streaming_device.h"

#include <array>
#include <chrono>

namespace nimbrel::bench {

namespace {

// How often the thread looks whether it is to stop while no request has come.
constexpr int StopCheckMilliseconds = 50;

}  // namespace

StreamingDevice::StreamingDevice(std::vector<std::vector<std::uint8_t>> datagrams, int perSecond)
    : datagrams_(std::move(datagrams)), perSecond_(perSecond) {
    static_cast<void>(platform::StartSocketLibrary());
    socket_ = platform::OpenDatagramSocket().value();
    static_cast<void>(platform::BindSocket(socket_, Peer{{127, 0, 0, 1}, 0}));
    local_ = platform::LocalName(socket_).value();
    static_cast<void>(platform::SetNonBlocking(socket_));
    thread_ = std::thread([this] { Run(); });
}

StreamingDevice::~StreamingDevice() {
    stop_ = true;
    thread_.join();
    platform::CloseSocket(socket_);
    platform::StopSocketLibrary();
}

void StreamingDevice::Run() {
    Peer requester;
    if (AwaitRequest(requester)) {
        Stream(requester);
    }
}

bool StreamingDevice::AwaitRequest(Peer& from) {
    std::array<std::uint8_t, 64> request{};
    while (!stop_.load()) {
        if (!platform::WaitReadable(socket_, StopCheckMilliseconds)) {
            continue;
        }
        if (const auto received = platform::ReceiveFrom(socket_, request); received.ok()) {
            from = received.value().from;
            return true;
        }
    }
    return false;
}

void StreamingDevice::Stream(const Peer& to) {
    // Each datagram has its time on a fixed schedule: one delayed by the scheduler is followed
    // by the ones it held up at once, so the rate holds on average.
    const auto step = std::chrono::nanoseconds{std::chrono::seconds{1}} / perSecond_;
    auto next = std::chrono::steady_clock::now();
    for (std::size_t index = 0; !stop_.load(); index = (index + 1) % datagrams_.size()) {
        static_cast<void>(platform::SendTo(socket_, datagrams_[index], to));
        sent_.fetch_add(1);
        next += step;
        std::this_thread::sleep_until(next);
    }
}

}  // namespace nimbrel::bench
