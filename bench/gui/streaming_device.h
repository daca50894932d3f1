// SPDX-License-Identifier: MIT
// A device on 127.0.0.1 that never stops: from the first request on it sends datagrams at a
// steady rate until it is destroyed, on a thread of its own, so that the window's thread does
// nothing but receive them.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "discovery/address.h"
#include "discovery/socket_platform.h"

namespace nimbrel::bench {

class StreamingDevice {
public:
    /// Sends `datagrams` in turn, `perSecond` of them a second.
    StreamingDevice(std::vector<std::vector<std::uint8_t>> datagrams, int perSecond);
    ~StreamingDevice();
    StreamingDevice(const StreamingDevice&) = delete;
    StreamingDevice& operator=(const StreamingDevice&) = delete;

    const Peer& address() const { return local_; }
    /// Datagrams sent so far.
    long sent() const { return sent_.load(); }

private:
    void run();
    bool awaitRequest(Peer& from);
    void stream(const Peer& to);

    std::vector<std::vector<std::uint8_t>> datagrams_;
    int perSecond_;
    platform::SocketHandle socket_ = platform::NoSocket;
    Peer local_;
    std::atomic<bool> stop_{false};
    std::atomic<long> sent_{0};
    std::thread thread_;
};

}  // namespace nimbrel::bench
