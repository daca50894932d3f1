// SPDX-License-Identifier: MIT
// POSIX sockets (Linux, macOS). Keep the functions in the order of socket_platform.h and of
// socket_win.cpp. The options that only Linux has (a receive buffer past the system's cap, the
// drop count) are left out where they are not defined.
#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/sock_diag.h>  // SK_MEMINFO_DROPS
#endif

#include <array>
#include <cerrno>
#include <cstring>

#include "discovery/socket_address.h"
#include "discovery/socket_platform.h"

namespace nimbrel::platform {

namespace {

int toHandle(SocketHandle socket) {
    return static_cast<int>(socket);
}

// One datagram's message for sendmsg and recvmsg: its peer, its bytes and room for control data.
msghdr messageOf(sockaddr_in& peer, iovec& part, std::span<char> control) {
    msghdr message{};
    message.msg_name = &peer;
    message.msg_namelen = sizeof(peer);
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    return message;
}

// errno values numbered as Winsock numbers the same conditions. The few that Winsock has no
// number of its own for take the nearest condition's (a firewall's refusal is an access denied,
// a lack of kernel memory one of buffer space), so that every message reads as on Windows; any
// other value keeps its own number.
int toWinsockCode(int error) {
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

Error lastError() {
    return socketError(lastErrorCode());
}

/// The result of a call that returns 0 on success and sets errno otherwise.
Result<> checked(int result) {
    if (result != 0) {
        return lastError();
    }
    return {};
}

void readArrivalDetails(msghdr& message, ReceivedDatagram& received) {
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == IPPROTO_IP && header->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(header), sizeof(info));
            received.interfaceIndex = static_cast<unsigned>(info.ipi_ifindex);
        }
#ifdef SO_RXQ_OVFL
        // Sent only once the count is above 0.
        if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SO_RXQ_OVFL) {
            std::uint32_t drops = 0;
            std::memcpy(&drops, CMSG_DATA(header), sizeof(drops));
            received.dropsBefore = drops;
        }
#endif
    }
}

}  // namespace

std::optional<std::vector<Ipv4Bytes>> hostAddresses() {
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

std::vector<LocalInterface> localInterfaces() {
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
        // getifaddrs lists an address label ("eth0:1") under the label; the index and
        // if_indextoname give the interface that it belongs to.
        const unsigned index = ::if_nametoindex(entry->ifa_name);
        std::array<char, IF_NAMESIZE> real{};
        const bool named = index != 0 && ::if_indextoname(index, real.data()) != nullptr;
        LocalInterface found{named ? std::string(real.data()) : std::string(entry->ifa_name),
                             fromSockaddr(address).address,
                             fromSockaddr(netmask).address,
                             {},
                             (flags & IFF_BROADCAST) != 0,
                             index,
                             entry->ifa_name};
        for (std::size_t i = 0; i < found.broadcast.size(); ++i) {
            found.broadcast[i] = static_cast<std::uint8_t>(found.address[i] | ~found.netmask[i]);
        }
        interfaces.push_back(found);
    }
    ::freeifaddrs(list);
    return interfaces;
}

Result<> startSocketLibrary() {
    return {};
}

void stopSocketLibrary() {}

Result<SocketHandle> openDatagramSocket() {
    const int handle = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (handle < 0) {
        return lastError();
    }
    return static_cast<SocketHandle>(handle);
}

Result<> enableBroadcast(SocketHandle socket) {
    const int on = -1;  // every bit set, as the option is documented on every platform
    return checked(::setsockopt(toHandle(socket), SOL_SOCKET, SO_BROADCAST, &on, sizeof(on)));
}

Result<> setNonBlocking(SocketHandle socket) {
    const int flags = ::fcntl(toHandle(socket), F_GETFL, 0);
    return checked(flags < 0 ? flags : ::fcntl(toHandle(socket), F_SETFL, flags | O_NONBLOCK));
}

Result<int> setReceiveBuffer(SocketHandle socket, int bytes) {
    const int handle = toHandle(socket);
#ifdef SO_RCVBUFFORCE
    // Past net.core.rmem_max, for a process with CAP_NET_ADMIN; any other is refused (EPERM)
    // and gets at most rmem_max below.
    if (::setsockopt(handle, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof(bytes)) != 0)
#endif
    {
        if (::setsockopt(handle, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof(bytes)) != 0) {
            return lastError();
        }
    }
    int granted = 0;
    socklen_t size = sizeof(granted);
    if (::getsockopt(handle, SOL_SOCKET, SO_RCVBUF, &granted, &size) != 0) {
        return lastError();
    }
    return granted;
}

Result<> enableArrivalDetails(SocketHandle socket) {
    const int on = 1;
    if (::setsockopt(toHandle(socket), IPPROTO_IP, IP_PKTINFO, &on, sizeof(on)) != 0) {
        return lastError();
    }
#ifdef SO_RXQ_OVFL
    return checked(::setsockopt(toHandle(socket), SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof(on)));
#else
    return {};
#endif
}

Result<> bindSocket(SocketHandle socket, const Peer& local) {
    const sockaddr_in address = toSockaddr(local);
    return checked(
        ::bind(toHandle(socket), reinterpret_cast<const sockaddr*>(&address), sizeof(address)));
}

Result<> bindForSearch(SocketHandle socket, const Ipv4Bytes& local, unsigned /*interfaceIndex*/) {
    if (local != Ipv4Bytes{}) {
        // A trial bind on a socket of its own: the address must be this computer's, and the
        // failure must read as binding to it would.
        const Result<SocketHandle> trial = openDatagramSocket();
        if (!trial.ok()) {
            return trial.error();
        }
        const Result<> bound = bindSocket(trial.value(), Peer{local, 0});
        ::close(toHandle(trial.value()));
        if (!bound.ok()) {
            return bound;
        }
    }
    return bindSocket(socket, Peer{});
}

Result<Peer> localName(SocketHandle socket) {
    sockaddr_in address{};
    socklen_t size = sizeof(address);
    if (::getsockname(toHandle(socket), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return lastError();
    }
    return fromSockaddr(address);
}

Result<int> sendTo(SocketHandle socket, std::span<const std::uint8_t> bytes, const Peer& to) {
    const sockaddr_in address = toSockaddr(to);
    const ssize_t result = ::sendto(toHandle(socket), bytes.data(), bytes.size(), 0,
                                    reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    if (result < 0) {
        return lastError();
    }
    return static_cast<int>(result);
}

Result<int> sendFrom(SocketHandle socket, std::span<const std::uint8_t> bytes, const Peer& to,
                     const Ipv4Bytes& from, unsigned interfaceIndex) {
    if (from == Ipv4Bytes{} && interfaceIndex == 0) {
        return sendTo(socket, bytes, to);
    }
    sockaddr_in address = toSockaddr(to);
    iovec part{const_cast<std::uint8_t*>(bytes.data()), bytes.size()};
    // The source address and the outgoing interface of this datagram. With an interface the
    // kernel routes even a broadcast out of it; with only an address, out of the first
    // interface that holds it, which is wrong where two interfaces hold the same one.
    alignas(cmsghdr) std::array<char, CMSG_SPACE(sizeof(in_pktinfo))> control{};
    msghdr message = messageOf(address, part, control);
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_ifindex = static_cast<int>(interfaceIndex);
    std::memcpy(&info.ipi_spec_dst, from.data(), from.size());
    std::memcpy(CMSG_DATA(header), &info, sizeof(info));
    const ssize_t result = ::sendmsg(toHandle(socket), &message, 0);
    if (result < 0) {
        return lastError();
    }
    return static_cast<int>(result);
}

bool waitReadable(SocketHandle socket, int milliseconds) {
    pollfd entry{toHandle(socket), POLLIN, 0};
    return ::poll(&entry, 1, milliseconds) == 1;
}

bool waitAnyReadable(std::span<const SocketHandle> sockets, int milliseconds) {
    std::vector<pollfd> entries;
    for (const SocketHandle socket : sockets) {
        entries.push_back({toHandle(socket), POLLIN, 0});
    }
    return ::poll(entries.data(), entries.size(), milliseconds) > 0;
}

Result<ReceivedDatagram> receiveFrom(SocketHandle socket, std::span<std::uint8_t> buffer) {
    sockaddr_in address{};
    iovec part{buffer.data(), buffer.size()};
    // Room for the arrival interface and the drop count (EnableArrivalDetails).
    alignas(cmsghdr)
        std::array<char, CMSG_SPACE(sizeof(in_pktinfo)) + CMSG_SPACE(sizeof(std::uint32_t))>
            control{};
    msghdr message = messageOf(address, part, control);
    // recvmsg alone would cut an over-long datagram silently; MSG_TRUNC reports its real length so
    // that it is dropped as it is where the platform refuses it.
    const ssize_t result = ::recvmsg(toHandle(socket), &message, MSG_TRUNC);
    if (result < 0) {
        return lastError();
    }
    ReceivedDatagram received;
    received.from = fromSockaddr(address);
    readArrivalDetails(message, received);
    if ((message.msg_flags & MSG_TRUNC) != 0 || static_cast<std::size_t>(result) > buffer.size()) {
        received.overlong = true;
    } else {
        received.size = static_cast<int>(result);
    }
    return received;
}

std::optional<std::uint32_t> droppedDatagrams(SocketHandle socket) {
#if defined(SO_MEMINFO) && defined(__linux__)
    std::array<std::uint32_t, SK_MEMINFO_VARS> info{};
    socklen_t size = sizeof(info);
    if (::getsockopt(toHandle(socket), SOL_SOCKET, SO_MEMINFO, info.data(), &size) == 0 &&
        size > SK_MEMINFO_DROPS * sizeof(std::uint32_t)) {
        return info[SK_MEMINFO_DROPS];
    }
#else
    static_cast<void>(socket);
#endif
    return std::nullopt;
}

void closeSocket(SocketHandle socket) {
    ::shutdown(toHandle(socket), SHUT_WR);
    ::close(toHandle(socket));
}

int lastErrorCode() {
    return toWinsockCode(errno);
}

}  // namespace nimbrel::platform
