// SPDX-License-Identifier: MIT
// The thin socket layer: the same functions, in the same order, in socket_posix.cpp and
// socket_win.cpp. Functions that can fail return a Result whose Error carries the failure's
// code numbered as Winsock numbers it on every platform (SocketError), so that the messages
// read the same everywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "discovery/address.h"
#include "discovery/result.h"

namespace nimbrel::platform {

using SocketHandle = std::uintptr_t;
inline constexpr SocketHandle NoSocket = ~SocketHandle{0};

inline constexpr int CodeWouldBlock = 10035;
inline constexpr int CodeMessageTooLong = 10040;
inline constexpr int CodeAddressInUse = 10048;

/// The IPv4 addresses that the host name resolves to, in the order of the resolver's list;
/// nullopt when the name cannot be read or looked up.
std::optional<std::vector<Ipv4Bytes>> hostAddresses();

/// One IPv4 address of a network interface that is up and is not a loopback interface.
struct LocalInterface {
    std::string name;  // the interface's own name ("eth0"; on Windows its friendly name)
    Ipv4Bytes address{};
    Ipv4Bytes netmask{};
    Ipv4Bytes broadcast{};   // the subnet's broadcast address
    bool broadcasts = true;  // false for a point-to-point link, where no broadcast goes
    unsigned index = 0;      // the system's number of the interface; 0 when not known
    /// The name that the address is listed under: the interface's name, or on Linux an address
    /// label such as "eth0:1" (an address added with `label`), which is no interface of its own.
    std::string label{};
};

/// Every such address of this computer, in the system's order; empty when none can be read.
std::vector<LocalInterface> localInterfaces();

/// Starts the socket library for the caller's lifetime (a no-op where there is none).
Result<> startSocketLibrary();
void stopSocketLibrary();

/// Opens an IPv4 datagram socket.
Result<SocketHandle> openDatagramSocket();
Result<> enableBroadcast(SocketHandle socket);
Result<> setNonBlocking(SocketHandle socket);

/// Asks for a receive buffer of `bytes` (on Linux beyond net.core.rmem_max where the process
/// may, i.e. with CAP_NET_ADMIN) and returns the size that the system reports it granted, which
/// on Linux counts its own bookkeeping too (twice what was asked for).
Result<int> setReceiveBuffer(SocketHandle socket, int bytes);

/// Has each datagram read carry the interface it arrived on and the system's count of
/// datagrams dropped on the socket so far, where the system offers them (Linux); a no-op
/// elsewhere.
Result<> enableArrivalDetails(SocketHandle socket);

Result<> bindSocket(SocketHandle socket, const Peer& local);

/// Binds a search's socket to a system-chosen port so that it receives the replies sent to
/// `local` and those sent by broadcast, and fails as binding to `local` itself would (10049
/// for an address that is not this computer's). Linux delivers no broadcast to a socket bound
/// to a unicast address, so there the socket is bound to the any-address and SendFrom picks
/// the source and the interface of each datagram; Winsock delivers them, so there it is bound
/// to `local`, and `interfaceIndex` (0: none) is made its outgoing interface.
Result<> bindForSearch(SocketHandle socket, const Ipv4Bytes& local, unsigned interfaceIndex);

Result<Peer> localName(SocketHandle socket);

/// Sends one datagram; the number of bytes sent.
Result<int> sendTo(SocketHandle socket, std::span<const std::uint8_t> bytes, const Peer& to);

/// Sends from the address given to BindForSearch (the any-address: the system's choice) out of
/// the interface numbered `interfaceIndex` (0: the one the routes choose), so that a broadcast
/// leaves through that interface even where another one holds the same address.
Result<int> sendFrom(SocketHandle socket, std::span<const std::uint8_t> bytes, const Peer& to,
                     const Ipv4Bytes& from, unsigned interfaceIndex);

/// Waits up to `milliseconds` for a datagram; true when one is ready to read.
bool waitReadable(SocketHandle socket, int milliseconds);

/// The same for several sockets: true when a datagram is ready on any of them.
bool waitAnyReadable(std::span<const SocketHandle> sockets, int milliseconds);

/// One datagram read.
struct ReceivedDatagram {
    int size = 0;           // the bytes read into the buffer; 0 when overlong
    bool overlong = false;  // longer than the buffer: consumed and dropped, never handed over cut
    Peer from;
    unsigned interfaceIndex = 0;  // the interface it arrived on; 0 where the system does not tell
    /// The datagrams that the system had dropped on this socket, for want of buffer space, when
    /// it queued this one; where the system tells (Linux, after EnableArrivalDetails).
    std::optional<std::uint32_t> dropsBefore;
};

/// Reads one datagram whole. On a non-blocking socket with nothing to read: 10035.
Result<ReceivedDatagram> receiveFrom(SocketHandle socket, std::span<std::uint8_t> buffer);

/// The datagrams that the system has dropped on the socket for want of buffer space since it
/// was opened; nullopt where the system does not tell.
std::optional<std::uint32_t> droppedDatagrams(SocketHandle socket);

/// Shuts down the sending side and closes; failures are ignored.
void closeSocket(SocketHandle socket);

/// The code of the last failure, mapped to the Winsock numbering.
int lastErrorCode();

}  // namespace nimbrel::platform
