// SPDX-License-Identifier: MIT
#include "discovery/address.h"

#include <charconv>

namespace nimbrel {

std::string formatIpv4(const Ipv4Bytes& address) {
    return std::to_string(address[0]) + '.' + std::to_string(address[1]) + '.' +
           std::to_string(address[2]) + '.' + std::to_string(address[3]);
}

std::string formatPeer(const Peer& peer) {
    return formatIpv4(peer.address) + ':' + std::to_string(peer.port);
}

std::string formatMac(const MacBytes& mac) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < mac.size(); ++i) {
        if (i != 0) {
            text += '-';
        }
        text += digits[mac[i] >> 4];
        text += digits[mac[i] & 0x0F];
    }
    return text;
}

std::optional<Ipv4Bytes> parseIpv4(std::string_view text) {
    Ipv4Bytes address{};
    const char* position = text.data();
    const char* const end = text.data() + text.size();
    for (std::size_t i = 0; i < address.size(); ++i) {
        if (i != 0) {
            if (position == end || *position != '.') {
                return std::nullopt;
            }
            ++position;
        }
        unsigned value = 0;
        const auto [next, error] = std::from_chars(position, end, value);
        if (error != std::errc{} || next == position || next - position > 3 || value > 255) {
            return std::nullopt;
        }
        address[i] = static_cast<std::uint8_t>(value);
        position = next;
    }
    if (position != end) {
        return std::nullopt;
    }
    return address;
}

}  // namespace nimbrel
