// SPDX-License-Identifier: MIT
// Whether this process sits in a network namespace of its own, for the tests and benchmarks
// that start a real program which may broadcast.
#pragma once

#include <net/if.h>

#include <cstring>

namespace nimbrel::testing {

/// True when this process sees no network interface but loopback, as in a private network
/// namespace (`unshare -n`), so that nothing sent can leave it.
inline bool inPrivateNetwork() {
    struct if_nameindex* interfaces = if_nameindex();
    if (interfaces == nullptr) {
        return false;
    }
    bool onlyLoopback = true;
    for (const struct if_nameindex* entry = interfaces; entry->if_index != 0; ++entry) {
        onlyLoopback = onlyLoopback && std::strcmp(entry->if_name, "lo") == 0;
    }
    if_freenameindex(interfaces);
    return onlyLoopback;
}

}  // namespace nimbrel::testing
