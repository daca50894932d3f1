// SPDX-License-Identifier: MIT
// A device that never stops: from the first request on it sends datagrams at a steady rate until
// it is destroyed, on a thread of its own, so that the window's thread does nothing but receive
// them. It listens on 127.0.0.1 (a port of its own) for a window in the same process, or on the
// discovery port of every address for the real program's broadcast request.
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
    /// Sends `datagrams` in turn, `perSecond` of them a second, to whoever sent the first
    /// datagram to `listenOn`.
    StreamingDevice(std::vector<std::vector<std::uint8_t>> datagrams, int perSecond,
                    const Peer& listenOn = Peer{{127, 0, 0, 1}, 0});
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
