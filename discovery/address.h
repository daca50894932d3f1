// SPDX-License-Identifier: MIT
// IPv4 and MAC addresses as the program prints and reads them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel {

using MacBytes = std::array<std::uint8_t, 6>;
using Ipv4Bytes = std::array<std::uint8_t, 4>;

/// An IPv4 address with a UDP port.
struct Peer {
    Ipv4Bytes address{};
    std::uint16_t port = 0;

    bool operator==(const Peer&) const = default;
};

/// "a.b.c.d", each byte in decimal without leading zeros.
std::string formatIpv4(const Ipv4Bytes& address);

/// "a.b.c.d:port".
std::string formatPeer(const Peer& peer);

/// "XX-XX-XX-XX-XX-XX", two upper-case hexadecimal digits per byte.
std::string formatMac(const MacBytes& mac);

/// Reads "a.b.c.d": four decimal numbers 0 to 255 of one to three digits; nullopt otherwise.
std::optional<Ipv4Bytes> parseIpv4(std::string_view text);

}  // namespace nimbrel
