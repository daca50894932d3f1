// SPDX-License-Identifier: MIT
// A device on 127.0.0.1 that the test answers with: it reads the requests that wait at its
// socket and replies to each, on the test's own thread. The search's target is injected, so
// nothing is sent anywhere else.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "discovery/address.h"
#include "discovery/socket_platform.h"

namespace nimbrel::testing {

/// A reply of one device: its MAC and IPv4 address and its model text.
std::vector<std::uint8_t> replyBytes(const std::string& model, const Ipv4Bytes& ipv4,
                                     const MacBytes& mac);

class LoopbackDevice {
public:
    LoopbackDevice();
    ~LoopbackDevice();
    LoopbackDevice(const LoopbackDevice&) = delete;
    LoopbackDevice& operator=(const LoopbackDevice&) = delete;

    const Peer& address() const { return local_; }

    /// Replies `reply` to every request waiting; returns how many there were.
    int answer(const std::vector<std::uint8_t>& reply) {
        return answer(std::vector<std::vector<std::uint8_t>>{reply});
    }

    /// Sends each of `replies` to every request waiting; returns how many there were.
    int answer(const std::vector<std::vector<std::uint8_t>>& replies);

private:
    platform::SocketHandle socket_ = platform::NoSocket;
    Peer local_;
};

}  // namespace nimbrel::testing
