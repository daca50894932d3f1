// SPDX-License-Identifier: MIT
// The system's IPv4 socket address and ours, converted alike by both socket layers.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#endif

#include <cstring>

#include "discovery/address.h"

namespace nimbrel::platform {

inline sockaddr_in toSockaddr(const Peer& peer) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(peer.port);
    std::memcpy(&address.sin_addr, peer.address.data(), peer.address.size());
    return address;
}

inline Peer fromSockaddr(const sockaddr_in& address) {
    Peer peer;
    std::memcpy(peer.address.data(), &address.sin_addr, peer.address.size());
    peer.port = ntohs(address.sin_port);
    return peer;
}

}  // namespace nimbrel::platform
