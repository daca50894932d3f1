// SPDX-License-Identifier: MIT
// Windows Sockets. Keep the functions in the order of socket_platform.h and of socket_posix.cpp.
// Failure codes come from WSAGetLastError and are already the numbers that the messages use.
//
// Interfaces on Windows: a search's socket is bound to its interface's address (Winsock
// delivers broadcasts to such a socket, and sends from that address), and IP_UNICAST_IF names
// the interface's index (from GetAdaptersAddresses) as the socket's outgoing interface. What
// this does not do: the interface that a reply arrived on is not read (that needs WSARecvMsg
// with IP_PKTINFO), so a reply belongs to the path whose socket read it; and the system's
// count of datagrams dropped for want of buffer space is not available (0 is reported). The
// receive buffer's size is asked for and read back as on Linux.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <winsock2.h>
// After winsock2.h, which they need.
#include <iphlpapi.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "discovery/socket_address.h"
#include "discovery/socket_platform.h"

namespace nimbrel::platform {

namespace {

SOCKET toHandle(SocketHandle socket) {
    return static_cast<SOCKET>(socket);
}

std::string utf8(const wchar_t* text) {
    if (text == nullptr) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string converted(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, converted.data(), size, nullptr, nullptr);
    converted.pop_back();  // the terminator
    return converted;
}

/// The adapters with their IPv4 addresses (GetAdaptersAddresses); empty when they cannot be read.
std::vector<unsigned char> adapterList() {
    constexpr ULONG Flags =
        GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    // The list's size is known only by asking; it may grow between the two calls.
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        result = GetAdaptersAddresses(
            AF_INET, Flags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (result != NO_ERROR) {
        buffer.clear();
    }
    return buffer;
}

/// The netmask and the subnet's broadcast address of an address with `prefix` network bits.
void setPrefix(LocalInterface& found, unsigned prefix) {
    for (std::size_t i = 0; i < found.address.size(); ++i) {
        const unsigned bits =
            prefix > i * 8 ? std::min(prefix - static_cast<unsigned>(i * 8), 8u) : 0u;
        found.netmask[i] = static_cast<std::uint8_t>(0xFF00u >> bits);
        found.broadcast[i] = static_cast<std::uint8_t>(found.address[i] | ~found.netmask[i]);
    }
}

/// FD_SET on its own: the macro's branches count once here, not in each caller's loop.
void addTo(fd_set& readable, SocketHandle socket) {
    FD_SET(toHandle(socket), &readable);
}

Error lastError() {
    return socketError(lastErrorCode());
}

/// The result of a call that returns 0 on success and SOCKET_ERROR otherwise.
Result<> checked(int result) {
    if (result != 0) {
        return lastError();
    }
    return {};
}

}  // namespace

std::optional<std::vector<Ipv4Bytes>> hostAddresses() {
    // The look-up runs under a use of its own, version 1.1, independent of the endpoint's; its
    // result is not examined, since a failed start-up makes the calls below fail anyway.
    WSADATA data{};
    WSAStartup(MAKEWORD(1, 1), &data);
    std::optional<std::vector<Ipv4Bytes>> result;
    char name[64] = {};
    if (gethostname(name, sizeof(name)) == 0) {
        // gethostbyname keeps the resolver's order, and the order decides which address the
        // endpoint binds to. The entries are handed on as bytes: the core writes them as
        // dotted-decimal text, so inet_ntoa has no part here.
        const hostent* found = ::gethostbyname(name);
        if (found != nullptr && found->h_addrtype == AF_INET && found->h_length == 4) {
            std::vector<Ipv4Bytes> addresses;
            for (char** entry = found->h_addr_list; *entry != nullptr; ++entry) {
                Ipv4Bytes address{};
                std::memcpy(address.data(), *entry, address.size());
                addresses.push_back(address);
            }
            result = std::move(addresses);
        }
    }
    WSACleanup();
    return result;
}

std::vector<LocalInterface> localInterfaces() {
    std::vector<LocalInterface> interfaces;
    const std::vector<unsigned char> buffer = adapterList();
    for (const auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data());
         adapter != nullptr; adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp || adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK) {
            continue;
        }
        // The name that the user sees ("Ethernet"), not the adapter's GUID.
        const std::string name = utf8(adapter->FriendlyName);
        // Point-to-point links and tunnels have no broadcast of their own.
        const bool broadcasts = adapter->IfType != IF_TYPE_PPP && adapter->IfType != IF_TYPE_TUNNEL;
        for (const auto* unicast = adapter->FirstUnicastAddress; unicast != nullptr;
             unicast = unicast->Next) {
            const SOCKET_ADDRESS& socketAddress = unicast->Address;
            if (socketAddress.lpSockaddr == nullptr ||
                socketAddress.lpSockaddr->sa_family != AF_INET) {
                continue;
            }
            sockaddr_in address{};
            std::memcpy(&address, socketAddress.lpSockaddr, sizeof(address));
            // IfIndex is the interface's IPv4 index, the one that IP_UNICAST_IF takes.
            LocalInterface found{
                name, fromSockaddr(address).address, {}, {}, broadcasts, adapter->IfIndex, name};
            setPrefix(found, unicast->OnLinkPrefixLength);
            interfaces.push_back(found);
        }
    }
    return interfaces;
}

Result<> startSocketLibrary() {
    WSADATA data{};
    if (const int code = WSAStartup(MAKEWORD(2, 2), &data); code != 0) {
        return socketError(code);
    }
    return {};
}

void stopSocketLibrary() {
    WSACleanup();
}

Result<SocketHandle> openDatagramSocket() {
    const SOCKET handle = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (handle == INVALID_SOCKET) {
        return lastError();
    }
    return static_cast<SocketHandle>(handle);
}

Result<> enableBroadcast(SocketHandle socket) {
    const int on = -1;  // every bit set, a 4-byte value
    return checked(::setsockopt(toHandle(socket), SOL_SOCKET, SO_BROADCAST,
                                reinterpret_cast<const char*>(&on), sizeof(on)));
}

Result<> setNonBlocking(SocketHandle socket) {
    u_long on = 1;
    return checked(::ioctlsocket(toHandle(socket), static_cast<long>(FIONBIO), &on));
}

Result<int> setReceiveBuffer(SocketHandle socket, int bytes) {
    // Winsock grants what is asked for; it has no system-wide cap like Linux's rmem_max.
    if (::setsockopt(toHandle(socket), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes),
                     sizeof(bytes)) != 0) {
        return lastError();
    }
    int granted = 0;
    int size = sizeof(granted);
    if (::getsockopt(toHandle(socket), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&granted),
                     &size) != 0) {
        return lastError();
    }
    return granted;
}

Result<> enableArrivalDetails(SocketHandle /*socket*/) {
    // recvfrom tells neither the arrival interface nor a drop count (see the top of the file).
    return {};
}

Result<> bindSocket(SocketHandle socket, const Peer& local) {
    const sockaddr_in address = toSockaddr(local);
    return checked(
        ::bind(toHandle(socket), reinterpret_cast<const sockaddr*>(&address), sizeof(address)));
}

Result<> bindForSearch(SocketHandle socket, const Ipv4Bytes& local, unsigned interfaceIndex) {
    // Winsock delivers broadcasts to a socket bound to a unicast address, and a datagram sent
    // from it leaves from that address.
    if (Result<> bound = bindSocket(socket, Peer{local, 0}); !bound.ok()) {
        return bound;
    }
    if (interfaceIndex != 0) {
        // The outgoing interface, for two interfaces that hold the same address. For IPv4 the
        // index is given in network byte order. Best effort: where the option is not known
        // (older systems) the routes choose, as without it.
        const DWORD index = htonl(interfaceIndex);
        ::setsockopt(toHandle(socket), IPPROTO_IP, IP_UNICAST_IF,
                     reinterpret_cast<const char*>(&index), sizeof(index));
    }
    return {};
}

Result<Peer> localName(SocketHandle socket) {
    sockaddr_in address{};
    int size = sizeof(address);
    if (::getsockname(toHandle(socket), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return lastError();
    }
    return fromSockaddr(address);
}

Result<int> sendTo(SocketHandle socket, std::span<const std::uint8_t> bytes, const Peer& to) {
    const sockaddr_in address = toSockaddr(to);
    const int result = ::sendto(toHandle(socket), reinterpret_cast<const char*>(bytes.data()),
                                static_cast<int>(bytes.size()), 0,
                                reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    if (result == SOCKET_ERROR) {
        return lastError();
    }
    return result;
}

Result<int> sendFrom(SocketHandle socket, std::span<const std::uint8_t> bytes, const Peer& to,
                     const Ipv4Bytes& /*from*/, unsigned /*interfaceIndex*/) {
    // The socket is bound to the source address, and its outgoing interface set, already
    // (BindForSearch).
    return sendTo(socket, bytes, to);
}

bool waitReadable(SocketHandle socket, int milliseconds) {
    fd_set readable;
    FD_ZERO(&readable);
    addTo(readable, socket);
    timeval timeout{};
    timeout.tv_sec = milliseconds / 1000;
    timeout.tv_usec = (milliseconds % 1000) * 1000;
    // The first argument is ignored by Winsock. An error counts as not ready, like a time-out.
    return ::select(0, &readable, nullptr, nullptr, &timeout) == 1;
}

bool waitAnyReadable(std::span<const SocketHandle> sockets, int milliseconds) {
    fd_set readable;
    FD_ZERO(&readable);
    for (const SocketHandle socket : sockets) {
        addTo(readable, socket);
    }
    timeval timeout{};
    timeout.tv_sec = milliseconds / 1000;
    timeout.tv_usec = (milliseconds % 1000) * 1000;
    return ::select(0, &readable, nullptr, nullptr, &timeout) > 0;
}

Result<ReceivedDatagram> receiveFrom(SocketHandle socket, std::span<std::uint8_t> buffer) {
    sockaddr_in address{};
    int size = sizeof(address);
    // Winsock itself refuses a datagram longer than the buffer with WSAEMSGSIZE (10040) and
    // drops it, which is the behaviour the socket layer promises; no length check is needed.
    const int result = ::recvfrom(toHandle(socket), reinterpret_cast<char*>(buffer.data()),
                                  static_cast<int>(buffer.size()), 0,
                                  reinterpret_cast<sockaddr*>(&address), &size);
    const int code = result == SOCKET_ERROR ? lastErrorCode() : 0;
    if (code != 0 && code != CodeMessageTooLong) {
        return socketError(code);
    }
    // An over-long datagram is dropped, but its sender is known, as on the other platforms.
    ReceivedDatagram received;
    received.from = fromSockaddr(address);
    received.overlong = code == CodeMessageTooLong;
    received.size = code == 0 ? result : 0;
    return received;
}

std::optional<std::uint32_t> droppedDatagrams(SocketHandle /*socket*/) {
    return std::nullopt;  // Winsock keeps no such count
}

void closeSocket(SocketHandle socket) {
    ::shutdown(toHandle(socket), SD_SEND);
    ::closesocket(toHandle(socket));
}

int lastErrorCode() {
    return WSAGetLastError();
}

}  // namespace nimbrel::platform
