#include "discovery/wire.h"

namespace nimbrel {

bool IsDiscoveryReply(const ReceiveBuffer& buffer) {
    // Byte 3, the length and the sender take no part in the check.
    return buffer[0] == 0x01 && buffer[1] == 0x00 && buffer[2] == 0x00;
}

}  // namespace nimbrel
