// SPDX-License-Identifier: MIT
#include "bench/gui/streaming_device.h"

#include <array>
#include <chrono>

namespace nimbrel::bench {

namespace {

// How often the thread looks whether it is to stop while no request has come.
constexpr int StopCheckMilliseconds = 50;

}  // namespace

StreamingDevice::StreamingDevice(std::vector<std::vector<std::uint8_t>> datagrams, int perSecond,
                                 const Peer& listenOn)
    : datagrams_(std::move(datagrams)), perSecond_(perSecond) {
    static_cast<void>(platform::startSocketLibrary());
    socket_ = platform::openDatagramSocket().value();
    static_cast<void>(platform::bindSocket(socket_, listenOn));
    local_ = platform::localName(socket_).value();
    static_cast<void>(platform::setNonBlocking(socket_));
    thread_ = std::thread([this] { run(); });
}

StreamingDevice::~StreamingDevice() {
    stop_ = true;
    thread_.join();
    platform::closeSocket(socket_);
    platform::stopSocketLibrary();
}

void StreamingDevice::run() {
    Peer requester;
    if (awaitRequest(requester)) {
        stream(requester);
    }
}

bool StreamingDevice::awaitRequest(Peer& from) {
    std::array<std::uint8_t, 64> request{};
    while (!stop_.load()) {
        if (!platform::waitReadable(socket_, StopCheckMilliseconds)) {
            continue;
        }
        if (const auto received = platform::receiveFrom(socket_, request); received.ok()) {
            from = received.value().from;
            return true;
        }
    }
    return false;
}

void StreamingDevice::stream(const Peer& to) {
    // Each datagram has its time on a fixed schedule: one delayed by the scheduler is followed
    // by the ones it held up at once, so the rate holds on average.
    const auto step = std::chrono::nanoseconds{std::chrono::seconds{1}} / perSecond_;
    auto next = std::chrono::steady_clock::now();
    for (std::size_t index = 0; !stop_.load(); index = (index + 1) % datagrams_.size()) {
        static_cast<void>(platform::sendTo(socket_, datagrams_[index], to));
        sent_.fetch_add(1);
        next += step;
        std::this_thread::sleep_until(next);
    }
}

}  // namespace nimbrel::bench
