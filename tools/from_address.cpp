// SPDX-License-Identifier: MIT
#include "tools/from_address.h"

#include <algorithm>
#include <optional>
#include <string>

namespace nimbrel::tools {

namespace {

// Called on text that ParseIpv4 accepted: four groups of digits joined by dots.
bool hasLeadingZero(std::string_view text) {
    std::size_t begin = 0;
    while (true) {
        const std::size_t dot = text.find('.', begin);
        const std::string_view part = text.substr(begin, dot - begin);
        if (part.size() > 1 && part[0] == '0') {
            return true;
        }
        if (dot == std::string_view::npos) {
            return false;
        }
        begin = dot + 1;
    }
}

// What the address is when it cannot be one that this computer sends from; empty otherwise.
std::string notUnicast(const Ipv4Bytes& address,
                       std::span<const platform::LocalInterface> interfaces) {
    if (address[0] == 0) {
        return "an address of 0.0.0.0/8 (\"this network\")";
    }
    if (address[0] >= 224 && address[0] <= 239) {
        return "a multicast address";
    }
    if (address == Ipv4Bytes{255, 255, 255, 255}) {
        return "the limited broadcast address";
    }
    if (address[0] >= 240) {
        return "a reserved address (240.0.0.0/4)";
    }
    // A point-to-point link or a /32 has no broadcast address of its own: there the computed
    // one may be an address that a host holds, the interface's own included.
    const auto found = std::ranges::find_if(interfaces, [&address](const auto& candidate) {
        return candidate.broadcasts && candidate.broadcast == address &&
               candidate.address != address;
    });
    if (found != interfaces.end()) {
        return "the broadcast address of " + found->name;
    }
    return {};
}

}  // namespace

Result<Ipv4Bytes> parseFromAddress(std::string_view text,
                                   std::span<const platform::LocalInterface> interfaces) {
    const std::optional<Ipv4Bytes> address = parseIpv4(text);
    if (!address) {
        return ownError("EBadAddress", "not an IPv4 address: '" + std::string(text) + "'");
    }
    if (hasLeadingZero(text)) {
        return ownError("EBadAddress",
                        std::string(text) +
                            " has leading zeros, which some programs read as octal; write " +
                            formatIpv4(*address));
    }
    if (const std::string what = notUnicast(*address, interfaces); !what.empty()) {
        return ownError("EBadAddress", formatIpv4(*address) + " is " + what +
                                           ", not a unicast address of this computer");
    }
    return *address;
}

}  // namespace nimbrel::tools
