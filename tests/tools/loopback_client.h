// SPDX-License-Identifier: MIT
// A UDP socket on 127.0.0.1 and a system-chosen port that plays the searching side towards the
// simulator, or the device towards a search: it sends to a port on 127.0.0.1 and nowhere else.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "discovery/socket_platform.h"

namespace nimbrel::testing {

class LoopbackClient {
public:
    LoopbackClient();
    ~LoopbackClient();
    LoopbackClient(const LoopbackClient&) = delete;
    LoopbackClient& operator=(const LoopbackClient&) = delete;

    Peer local() const { return local_; }

    void send(std::uint16_t port, const std::vector<std::uint8_t>& bytes);

    /// True when a datagram waits to be read now.
    bool waiting() const;

    /// The next datagram that arrives, or nullopt when none comes within a few seconds (a
    /// failure, never an expected outcome: the simulator answers at once).
    std::optional<std::vector<std::uint8_t>> receive();
    /// Where the datagram that `receive` returned last came from.
    const Peer& lastSender() const { return lastSender_; }

private:
    platform::SocketHandle socket_ = platform::NoSocket;
    Peer local_;
    Peer lastSender_;
};

}  // namespace nimbrel::testing
