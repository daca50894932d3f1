// SPDX-License-Identifier: MIT
#include "discovery/local_address.h"

#include "discovery/socket_platform.h"

namespace nimbrel {

std::optional<Ipv4Bytes> chooseLocalAddress(const std::optional<std::vector<Ipv4Bytes>>& list) {
    if (!list) {
        return std::nullopt;
    }
    // A host name that resolves only to loopback (127.0.1.1 is common) would send the
    // broadcast nowhere; the any-address lets the system pick the outgoing interface instead.
    Ipv4Bytes chosen{};
    for (const Ipv4Bytes& address : *list) {
        if (address[0] != 127) {
            chosen = address;
        }
    }
    return chosen;
}

std::optional<Ipv4Bytes> lookUpLocalAddress() {
    return chooseLocalAddress(platform::hostAddresses());
}

}  // namespace nimbrel
