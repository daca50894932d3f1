// SPDX-License-Identifier: MIT
// Builders for the datagrams that the discovery tests feed to the reply check and the table.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/address.h"
#include "discovery/wire.h"

namespace nimbrel::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

/// One type/length/value element; `second` is the byte between type and length.
struct Element {
    std::uint8_t type;
    Bytes value;
    std::uint8_t second = 0;
};

inline void append(Bytes& datagram, const Element& element) {
    datagram.push_back(element.type);
    datagram.push_back(element.second);
    datagram.push_back(static_cast<std::uint8_t>(element.value.size()));
    datagram.insert(datagram.end(), element.value.begin(), element.value.end());
}

/// A well-formed reply: the header, its area length equal to the bytes of the elements.
inline Bytes reply(std::initializer_list<Element> elements) {
    Bytes datagram{0x01, 0x00, 0x00, 0x00};
    for (const Element& element : elements) {
        append(datagram, element);
    }
    datagram[3] = static_cast<std::uint8_t>(datagram.size() - 4);
    return datagram;
}

inline Bytes addressValue(std::initializer_list<std::uint8_t> mac,
                          std::initializer_list<std::uint8_t> ipv4) {
    // Byte by byte: g++ 12 warns falsely about a range insert here at higher optimisation.
    Bytes value;
    for (const std::uint8_t byte : mac) {
        value.push_back(byte);
    }
    for (const std::uint8_t byte : ipv4) {
        value.push_back(byte);
    }
    return value;
}

inline Bytes addressValue(const MacBytes& mac, const Ipv4Bytes& ipv4) {
    return addressValue({mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]},
                        {ipv4[0], ipv4[1], ipv4[2], ipv4[3]});
}

/// The reply of device `n` of a burst: an address element (MAC 02-00-00-00-HI-LO, IPv4
/// 198.51.100.x) and a model, BURST-n, nothing else.
inline Bytes burstReply(int n) {
    const auto byte = [](int value) { return static_cast<std::uint8_t>(value & 0xff); };
    return reply({{FieldAddress, addressValue({0x02, 0x00, 0x00, 0x00, byte(n >> 8), byte(n)},
                                              {198, 51, 100, byte(n % 254 + 1)})},
                  {FieldModel, text("BURST-" + std::to_string(n))}});
}

}  // namespace nimbrel::testing
