// SPDX-License-Identifier: MIT
// Discovery datagrams: the request, the reply check and the walk over a reply's elements.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace nimbrel {

inline constexpr std::uint16_t DiscoveryPort = 10001;
inline constexpr const char* DiscoveryHost = "255.255.255.255";

// The longest datagram that is read; a longer one is dropped unread, as no reply can be longer.
inline constexpr std::size_t MaxDatagramSize = 201;
using ReceiveBuffer = std::array<std::uint8_t, MaxDatagramSize>;

/// The bytes of one datagram, exactly as many as it had.
using Datagram = std::span<const std::uint8_t>;

inline constexpr std::array<std::uint8_t, 4> DiscoveryRequest{0x01, 0x00, 0x00, 0x00};

// Field types that the program reads; every other type is stored and compared only.
inline constexpr std::uint8_t FieldAddress = 2;
inline constexpr std::uint8_t FieldFirmware = 3;
inline constexpr std::uint8_t FieldModel = 12;
inline constexpr std::uint8_t FieldCopyText = 15;

struct FieldElement {
    std::uint8_t type;
    std::uint8_t length;                  // L as it stands in the element
    std::span<const std::uint8_t> value;  // the value bytes, cut where the datagram ends
};

/// A reply has the whole four-byte header and begins 01 00 00; the area length and the sender
/// take no part in the check.
bool isDiscoveryReply(Datagram datagram);

/// Hands every element of the reply to `consumer`, in the order in which they stand. Only the
/// datagram's own bytes are read: an element whose head is cut off ends the walk, and a value
/// that runs past the end is cut there.
template <typename Consumer>
void walkFieldElements(Datagram datagram, Consumer&& consumer) {
    const auto size = static_cast<int>(datagram.size());
    const int end = size > 3 ? 4 + datagram[3] : 0;
    int position = 4;
    while (position < end && position + 2 < size) {
        const std::uint8_t type = datagram[static_cast<std::size_t>(position)];
        const std::uint8_t length = datagram[static_cast<std::size_t>(position + 2)];
        const int first = position + 3;  // at most one past the last byte
        const int available = size - first;
        const int taken = length < available ? length : available;
        consumer(FieldElement{
            type, length,
            datagram.subspan(static_cast<std::size_t>(first), static_cast<std::size_t>(taken))});
        position = first + length;
    }
}

}  // namespace nimbrel
