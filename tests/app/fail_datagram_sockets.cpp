// SPDX-License-Identifier: MIT
// Preloaded into a program under test: every IPv4 datagram socket fails to open for want of
// descriptors, as when the process has used them all up. Other sockets open as usual.
#include <dlfcn.h>
#include <sys/socket.h>

#include <cerrno>

extern "C" int socket(int domain, int type, int protocol) {
    if (domain == AF_INET && (type & 0xF) == SOCK_DGRAM) {
        errno = EMFILE;
        return -1;
    }
    using SocketFunction = int (*)(int, int, int);
    static const auto next = reinterpret_cast<SocketFunction>(dlsym(RTLD_NEXT, "socket"));
    return next(domain, type, protocol);
}
