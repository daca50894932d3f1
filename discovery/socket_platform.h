// SPDX-License-Identifier: MIT
// The thin socket layer: the same functions, in the same order, in socket_posix.cpp and
// socket_win.cpp. Functions that can fail return 0 or the failure's code, numbered as
// Winsock numbers them on every platform, so that the messages read the same everywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "discovery/address.h"

namespace nimbrel::platform {

using SocketHandle = std::uintptr_t;
inline constexpr SocketHandle NoSocket = ~SocketHandle{0};

inline constexpr int CodeWouldBlock = 10035;
inline constexpr int CodeMessageTooLong = 10040;
inline constexpr int CodeAddressInUse = 10048;

/// The IPv4 addresses that the host name resolves to, in the order of the resolver's list;
/// nullopt when the name cannot be read or looked up.
std::optional<std::vector<Ipv4Bytes>> HostAddresses();

/// One IPv4 address of a network interface that is up and is not a loopback interface.
struct LocalInterface {
    std::string name;
    Ipv4Bytes address{};
    Ipv4Bytes netmask{};
    Ipv4Bytes broadcast{};   // the subnet's broadcast address
    bool broadcasts = true;  // false for a point-to-point link, where no broadcast goes
};

/// Every such address of this computer, in the system's order; empty when none can be read.
std::vector<LocalInterface> LocalInterfaces();

/// Starts the socket library for the caller's lifetime (a no-op where there is none).
int StartSocketLibrary();
void StopSocketLibrary();

/// Opens an IPv4 datagram socket; NoSocket and `error` set when it cannot be created.
SocketHandle OpenDatagramSocket(int& error);
int EnableBroadcast(SocketHandle socket);
int SetNonBlocking(SocketHandle socket);
int BindSocket(SocketHandle socket, const Peer& local);

/// Binds a search's socket to a system-chosen port so that it receives the replies sent to
/// `local` and those sent by broadcast, and fails as binding to `local` itself would (10049
/// for an address that is not this computer's). Linux delivers no broadcast to a socket bound
/// to a unicast address, so there the socket is bound to the any-address and SendFrom picks
/// the source of each datagram; Winsock delivers them, so there it is bound to `local`.
int BindForSearch(SocketHandle socket, const Ipv4Bytes& local);

int LocalName(SocketHandle socket, Peer& local);
int SendTo(SocketHandle socket, std::span<const std::uint8_t> bytes, const Peer& to, int& sent);

/// Sends from the address given to BindForSearch (the any-address: the system's choice), so
/// that a broadcast leaves through the interface that holds that address.
int SendFrom(SocketHandle socket, std::span<const std::uint8_t> bytes, const Peer& to,
             const Ipv4Bytes& from, int& sent);

/// Waits up to `milliseconds` for a datagram; true when one is ready to read.
bool WaitReadable(SocketHandle socket, int milliseconds);

/// The same for several sockets: true when a datagram is ready on any of them.
bool WaitAnyReadable(std::span<const SocketHandle> sockets, int milliseconds);

/// Reads one datagram whole. A datagram longer than `buffer` fails with 10040 and is consumed;
/// it is never handed over cut. On a non-blocking socket with nothing to read: 10035.
int ReceiveFrom(SocketHandle socket, std::span<std::uint8_t> buffer, int& received, Peer* from);

/// Shuts down the sending side and closes; failures are ignored.
void CloseSocket(SocketHandle socket);

/// The code of the last failure, mapped to the Winsock numbering.
int LastErrorCode();

}  // namespace nimbrel::platform
