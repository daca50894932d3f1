// SPDX-License-Identifier: MIT
#include "discovery/wire.h"

namespace nimbrel {

bool isDiscoveryReply(Datagram datagram) {
    // Shorter than the header, a datagram would be read from bytes that it never had.
    return datagram.size() >= DiscoveryRequest.size() && datagram[0] == 0x01 &&
           datagram[1] == 0x00 && datagram[2] == 0x00;
}

}  // namespace nimbrel
