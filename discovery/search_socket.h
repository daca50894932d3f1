// SPDX-License-Identifier: MIT
// What a search needs of its socket, behind an interface so that tests can put a fake there.
#pragma once

#include <cstdint>
#include <span>

#include "discovery/address.h"
#include "discovery/error.h"
#include "discovery/result.h"
#include "discovery/socket_platform.h"

namespace nimbrel {

/// The outcome of one non-blocking read.
struct Received {
    enum class Kind {
        Read,      // `size` bytes were read into the buffer
        Overlong,  // a datagram longer than the buffer arrived and was dropped unread
        Nothing,   // nothing is waiting
        Failed,    // `error` says why
    };
    Kind kind = Kind::Nothing;
    int size = 0;
    Peer from;
    Error error;
};

class SearchSocket {
public:
    virtual ~SearchSocket() = default;

    /// Closes the socket that is open, if any, and opens a new non-blocking one with broadcast
    /// permission that sends from `local` (the any-address: the system's choice) and receives
    /// the replies, broadcast ones included.
    virtual Result<> Reopen(const Ipv4Bytes& local) = 0;

    /// Sends one datagram to `to` from the address given to Reopen.
    virtual Result<> Send(std::span<const std::uint8_t> bytes, const Peer& to) = 0;

    /// Reads the next waiting datagram, if any, without waiting.
    virtual Received Receive(std::span<std::uint8_t> buffer) = 0;

    /// What to watch for readability: the open socket, or NoSocket.
    virtual platform::SocketHandle Handle() const = 0;
};

/// The real socket. The first socket is opened, unbound, by Open(); each search reopens it.
class UdpSearchSocket final : public SearchSocket {
public:
    UdpSearchSocket();
    ~UdpSearchSocket() override;
    UdpSearchSocket(const UdpSearchSocket&) = delete;
    UdpSearchSocket& operator=(const UdpSearchSocket&) = delete;

    /// Starts the socket library and opens a socket with broadcast permission, unbound.
    Result<> Open();

    Result<> Reopen(const Ipv4Bytes& local) override;
    Result<> Send(std::span<const std::uint8_t> bytes, const Peer& to) override;
    Received Receive(std::span<std::uint8_t> buffer) override;
    platform::SocketHandle Handle() const override { return socket_; }

    /// The address and port that the socket is bound to, once it is.
    const Peer& Bound() const { return bound_; }

private:
    void Close();
    Result<> OpenSocket();

    bool libraryStarted_ = false;
    platform::SocketHandle socket_ = platform::NoSocket;
    Ipv4Bytes local_{};
    Peer bound_;
};

}  // namespace nimbrel
