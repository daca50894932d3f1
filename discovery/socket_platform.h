// The thin socket layer: the same functions, in the same order, in socket_bsd.cpp and
// socket_winsock.cpp. Functions that can fail return 0 or the failure's code, numbered as
// Winsock numbers them on every platform, so that the messages read the same everywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "discovery/device_table.h"

namespace nimbrel::platform {

using SocketHandle = std::uintptr_t;
inline constexpr SocketHandle NoSocket = ~SocketHandle{0};

struct Peer {
    Ipv4Bytes address{};
    std::uint16_t port = 0;
};

/// The IPv4 addresses that the host name resolves to, in the order of the resolver's list;
/// nullopt when the name cannot be read or looked up.
std::optional<std::vector<Ipv4Bytes>> HostAddresses();

/// Starts the socket library for the endpoint's lifetime (a no-op where there is none).
int StartSocketLibrary();
void StopSocketLibrary();

/// Opens an IPv4 datagram socket; NoSocket and `error` set when it cannot be created.
SocketHandle OpenDatagramSocket(int& error);
int EnableBroadcast(SocketHandle socket);
int BindSocket(SocketHandle socket, const Peer& local);
int LocalName(SocketHandle socket, Peer& local);
int SendTo(SocketHandle socket, std::span<const std::uint8_t> bytes, const Peer& to, int& sent);

/// Waits up to `milliseconds` for a datagram; true when one is ready to read.
bool WaitReadable(SocketHandle socket, int milliseconds);

/// Reads one datagram whole. A datagram longer than `buffer` fails with 10040 and is consumed;
/// it is never handed over cut.
int ReceiveFrom(SocketHandle socket, std::span<std::uint8_t> buffer, int& received, Peer* from);

/// Shuts down the sending side and closes; failures are ignored.
void CloseSocket(SocketHandle socket);

/// The code of the last failure, mapped to the Winsock numbering.
int LastErrorCode();

}  // namespace nimbrel::platform
