// SPDX-License-Identifier: MIT
// What a search needs of its socket, behind an interface so that tests can put a fake there.
#pragma once

#include <cstdint>
#include <optional>
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
    unsigned interfaceIndex = 0;  // the interface it arrived on; 0 where the system does not tell
    /// The datagrams that the system had dropped on the socket for want of buffer space when it
    /// queued this one; nullopt where it does not tell.
    std::optional<std::uint32_t> dropsBefore;
    Error error;
};

class SearchSocket {
public:
    virtual ~SearchSocket() = default;

    /// Closes the socket that is open, if any, and opens a new non-blocking one with broadcast
    /// permission that sends from `local` (the any-address: the system's choice) out of the
    /// interface numbered `interfaceIndex` (0: the one the routes choose) and receives the
    /// replies, broadcast ones included.
    virtual Result<> reopen(const Ipv4Bytes& local, unsigned interfaceIndex) = 0;

    /// Sends one datagram to `to` from the address and interface given to Reopen.
    virtual Result<> send(std::span<const std::uint8_t> bytes, const Peer& to) = 0;

    /// Reads the next waiting datagram, if any, without waiting.
    virtual Received receive(std::span<std::uint8_t> buffer) = 0;

    /// The datagrams that the system has dropped on the open socket for want of buffer space
    /// since Reopen, as far as it tells now; nullopt where it does not.
    virtual std::optional<std::uint32_t> droppedDatagrams() const = 0;

    /// What to watch for readability: the open socket, or NoSocket.
    virtual platform::SocketHandle handle() const = 0;
};

/// The real socket. Each search reopens it; Open() opens one beforehand, unbound, for a program
/// that must know at its start that it can.
class UdpSearchSocket final : public SearchSocket {
public:
    /// Room for a burst of 1024 replies.
    static constexpr int DefaultReceiveBufferBytes = 1 << 20;

    /// `receiveBufferBytes`: the receive buffer asked for on each socket opened.
    explicit UdpSearchSocket(int receiveBufferBytes = DefaultReceiveBufferBytes);
    ~UdpSearchSocket() override;
    UdpSearchSocket(const UdpSearchSocket&) = delete;
    UdpSearchSocket& operator=(const UdpSearchSocket&) = delete;

    /// Starts the socket library and opens a socket with broadcast permission, unbound.
    Result<> open();

    Result<> reopen(const Ipv4Bytes& local, unsigned interfaceIndex) override;
    Result<> send(std::span<const std::uint8_t> bytes, const Peer& to) override;
    Received receive(std::span<std::uint8_t> buffer) override;
    std::optional<std::uint32_t> droppedDatagrams() const override;
    platform::SocketHandle handle() const override { return socket_; }

    /// The address and port that the socket is bound to, once it is.
    const Peer& bound() const { return bound_; }

    /// The receive buffer that the system reports for the open socket (on Linux twice the
    /// bytes that it holds for datagrams, its bookkeeping included); 0 when it could not be read
    /// or no socket is open.
    int receiveBufferBytes() const { return receiveBufferGranted_; }

private:
    void close();
    Result<> openSocket();

    int receiveBufferAsked_;
    int receiveBufferGranted_ = 0;
    bool libraryStarted_ = false;
    platform::SocketHandle socket_ = platform::NoSocket;
    Ipv4Bytes local_{};
    unsigned interfaceIndex_ = 0;
    Peer bound_;
};

}  // namespace nimbrel
