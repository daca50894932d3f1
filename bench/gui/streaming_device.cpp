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
    platform::StartSocketLibrary();
    int error = 0;
    socket_ = platform::OpenDatagramSocket(error);
    platform::BindSocket(socket_, Peer{{127, 0, 0, 1}, 0});
    platform::LocalName(socket_, local_);
    platform::SetNonBlocking(socket_);
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
    int received = 0;
    while (!stop_.load()) {
        if (platform::WaitReadable(socket_, StopCheckMilliseconds) &&
            platform::ReceiveFrom(socket_, request, received, &from) == 0) {
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
        int sent = 0;
        platform::SendTo(socket_, datagrams_[index], to, sent);
        sent_.fetch_add(1);
        next += step;
        std::this_thread::sleep_until(next);
    }
}

}  // namespace nimbrel::bench
