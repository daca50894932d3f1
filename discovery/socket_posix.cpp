// SPDX-License-Identifier: MIT
// POSIX sockets (Linux, macOS). Keep the functions in the order of socket_platform.h and of
// socket_win.cpp.
#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "discovery/socket_platform.h"

namespace nimbrel::platform {

namespace {

int ToHandle(SocketHandle socket) {
    return static_cast<int>(socket);
}

sockaddr_in ToSockaddr(const Peer& peer) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(peer.port);
    std::memcpy(&address.sin_addr, peer.address.data(), peer.address.size());
    return address;
}

Peer FromSockaddr(const sockaddr_in& address) {
    Peer peer;
    std::memcpy(peer.address.data(), &address.sin_addr, peer.address.size());
    peer.port = ntohs(address.sin_port);
    return peer;
}

// errno values numbered as Winsock numbers the same conditions. The few that Winsock has no
// number of its own for take the nearest condition's (a firewall's refusal is an access denied,
// a lack of kernel memory one of buffer space), so that every message reads as on Windows; any
// other value keeps its own number.
int ToWinsockCode(int error) {
    switch (error) {
        case EINTR: return 10004;
        case EBADF: return 10009;
        case EACCES: return 10013;
        case EPERM: return 10013;
        case EFAULT: return 10014;
        case EINVAL: return 10022;
        case EMFILE: return 10024;
        case ENFILE: return 10024;
        case EWOULDBLOCK: return 10035;
        case EINPROGRESS: return 10036;
        case EALREADY: return 10037;
        case ENOTSOCK: return 10038;
        case EDESTADDRREQ: return 10039;
        case EMSGSIZE: return 10040;
        case EPROTOTYPE: return 10041;
        case ENOPROTOOPT: return 10042;
        case EPROTONOSUPPORT: return 10043;
        case ESOCKTNOSUPPORT: return 10044;
        case EOPNOTSUPP: return 10045;
        case EPFNOSUPPORT: return 10046;
        case EAFNOSUPPORT: return 10047;
        case EADDRINUSE: return 10048;
        case EADDRNOTAVAIL: return 10049;
        case ENETDOWN: return 10050;
        case ENETUNREACH: return 10051;
        case ENETRESET: return 10052;
        case ECONNABORTED: return 10053;
        case ECONNRESET: return 10054;
        case ENOBUFS: return 10055;
        case ENOMEM: return 10055;
        case EISCONN: return 10056;
        case ENOTCONN: return 10057;
        case ESHUTDOWN: return 10058;
        case ETOOMANYREFS: return 10059;
        case ETIMEDOUT: return 10060;
        case ECONNREFUSED: return 10061;
        case ELOOP: return 10062;
        case ENAMETOOLONG: return 10063;
        case EHOSTDOWN: return 10064;
        case EHOSTUNREACH: return 10065;
        case ENOTEMPTY: return 10066;
        default: return error;
    }
}

}  // namespace

std::optional<std::vector<Ipv4Bytes>> HostAddresses() {
    // A 64-byte buffer as Winsock's, one more byte for the terminator that a name of exactly
    // 64 bytes would not get.
    char name[65] = {};
    if (gethostname(name, sizeof(name) - 1) != 0) {
        return std::nullopt;
    }
    // gethostbyname keeps the resolver's order (getaddrinfo may sort it), and the order decides
    // which address the endpoint binds to.
    const hostent* found = ::gethostbyname(name);
    if (found == nullptr || found->h_addrtype != AF_INET || found->h_length != 4) {
        return std::nullopt;
    }
    std::vector<Ipv4Bytes> addresses;
    for (char** entry = found->h_addr_list; *entry != nullptr; ++entry) {
        Ipv4Bytes address{};
        std::memcpy(address.data(), *entry, address.size());
        addresses.push_back(address);
    }
    return addresses;
}

std::vector<LocalInterface> LocalInterfaces() {
    std::vector<LocalInterface> interfaces;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return interfaces;
    }
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        const unsigned flags = entry->ifa_flags;
        if (entry->ifa_addr == nullptr || entry->ifa_netmask == nullptr ||
            entry->ifa_addr->sa_family != AF_INET || (flags & IFF_UP) == 0 ||
            (flags & IFF_LOOPBACK) != 0) {
            continue;
        }
        sockaddr_in address{};
        sockaddr_in netmask{};
        std::memcpy(&address, entry->ifa_addr, sizeof(address));
        std::memcpy(&netmask, entry->ifa_netmask, sizeof(netmask));
        LocalInterface found{entry->ifa_name,
                             FromSockaddr(address).address,
                             FromSockaddr(netmask).address,
                             {},
                             (flags & IFF_BROADCAST) != 0};
        for (std::size_t i = 0; i < found.broadcast.size(); ++i) {
            found.broadcast[i] = static_cast<std::uint8_t>(found.address[i] | ~found.netmask[i]);
        }
        interfaces.push_back(found);
    }
    ::freeifaddrs(list);
    return interfaces;
}

int StartSocketLibrary() {
    return 0;
}

void StopSocketLibrary() {}

SocketHandle OpenDatagramSocket(int& error) {
    const int handle = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (handle < 0) {
        error = LastErrorCode();
        return NoSocket;
    }
    error = 0;
    return static_cast<SocketHandle>(handle);
}

int EnableBroadcast(SocketHandle socket) {
    const int on = -1;  // every bit set, as the option is documented on every platform
    return ::setsockopt(ToHandle(socket), SOL_SOCKET, SO_BROADCAST, &on, sizeof(on)) == 0
               ? 0
               : LastErrorCode();
}

int SetNonBlocking(SocketHandle socket) {
    const int flags = ::fcntl(ToHandle(socket), F_GETFL, 0);
    return flags >= 0 && ::fcntl(ToHandle(socket), F_SETFL, flags | O_NONBLOCK) == 0
               ? 0
               : LastErrorCode();
}

int BindSocket(SocketHandle socket, const Peer& local) {
    const sockaddr_in address = ToSockaddr(local);
    return ::bind(ToHandle(socket), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) ==
                   0
               ? 0
               : LastErrorCode();
}

int BindForSearch(SocketHandle socket, const Ipv4Bytes& local) {
    if (local != Ipv4Bytes{}) {
        // A trial bind on a socket of its own: the address must be this computer's, and the
        // failure must read as binding to it would.
        int error = 0;
        const SocketHandle trial = OpenDatagramSocket(error);
        if (trial == NoSocket) {
            return error;
        }
        const int code = BindSocket(trial, Peer{local, 0});
        ::close(ToHandle(trial));
        if (code != 0) {
            return code;
        }
    }
    return BindSocket(socket, Peer{});
}

int LocalName(SocketHandle socket, Peer& local) {
    sockaddr_in address{};
    socklen_t size = sizeof(address);
    if (::getsockname(ToHandle(socket), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return LastErrorCode();
    }
    local = FromSockaddr(address);
    return 0;
}

int SendTo(SocketHandle socket, std::span<const std::uint8_t> bytes, const Peer& to, int& sent) {
    const sockaddr_in address = ToSockaddr(to);
    const ssize_t result = ::sendto(ToHandle(socket), bytes.data(), bytes.size(), 0,
                                    reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    if (result < 0) {
        sent = 0;
        return LastErrorCode();
    }
    sent = static_cast<int>(result);
    return 0;
}

int SendFrom(SocketHandle socket, std::span<const std::uint8_t> bytes, const Peer& to,
             const Ipv4Bytes& from, int& sent) {
    if (from == Ipv4Bytes{}) {
        return SendTo(socket, bytes, to, sent);
    }
    sockaddr_in address = ToSockaddr(to);
    iovec part{const_cast<std::uint8_t*>(bytes.data()), bytes.size()};
    // The source address of this datagram: for a broadcast, the kernel also sends it through
    // the interface that holds this address.
    alignas(cmsghdr) std::array<char, CMSG_SPACE(sizeof(in_pktinfo))> control{};
    msghdr message{};
    message.msg_name = &address;
    message.msg_namelen = sizeof(address);
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    std::memcpy(&info.ipi_spec_dst, from.data(), from.size());
    std::memcpy(CMSG_DATA(header), &info, sizeof(info));
    const ssize_t result = ::sendmsg(ToHandle(socket), &message, 0);
    if (result < 0) {
        sent = 0;
        return LastErrorCode();
    }
    sent = static_cast<int>(result);
    return 0;
}

bool WaitReadable(SocketHandle socket, int milliseconds) {
    pollfd entry{ToHandle(socket), POLLIN, 0};
    return ::poll(&entry, 1, milliseconds) == 1;
}

bool WaitAnyReadable(std::span<const SocketHandle> sockets, int milliseconds) {
    std::vector<pollfd> entries;
    for (const SocketHandle socket : sockets) {
        entries.push_back({ToHandle(socket), POLLIN, 0});
    }
    return ::poll(entries.data(), entries.size(), milliseconds) > 0;
}

int ReceiveFrom(SocketHandle socket, std::span<std::uint8_t> buffer, int& received, Peer* from) {
    sockaddr_in address{};
    iovec part{buffer.data(), buffer.size()};
    msghdr message{};
    message.msg_name = &address;
    message.msg_namelen = sizeof(address);
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    // recvmsg alone would cut an over-long datagram silently; MSG_TRUNC reports its real length so
    // that it fails as it does where the platform refuses it.
    const ssize_t result = ::recvmsg(ToHandle(socket), &message, MSG_TRUNC);
    if (result < 0) {
        received = 0;
        return LastErrorCode();
    }
    if (from != nullptr) {
        *from = FromSockaddr(address);
    }
    if ((message.msg_flags & MSG_TRUNC) != 0 || static_cast<std::size_t>(result) > buffer.size()) {
        received = 0;
        return CodeMessageTooLong;
    }
    received = static_cast<int>(result);
    return 0;
}

void CloseSocket(SocketHandle socket) {
    ::shutdown(ToHandle(socket), SHUT_WR);
    ::close(ToHandle(socket));
}

int LastErrorCode() {
    return ToWinsockCode(errno);
}

}  // namespace nimbrel::platform
