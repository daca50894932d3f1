// Discovery datagrams: the request, the reply check and the walk over a reply's elements.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace nimbrel {

inline constexpr std::uint16_t DiscoveryPort = 10001;
inline constexpr const char* DiscoveryHost = "255.255.255.255";

// Replies are read into this fixed buffer; the check and the walk never look past it.
inline constexpr std::size_t ReceiveBufferSize = 201;
using ReceiveBuffer = std::array<std::uint8_t, ReceiveBufferSize>;

inline constexpr std::array<std::uint8_t, 4> DiscoveryRequest{0x01, 0x00, 0x00, 0x00};

// Field types that the program reads; every other type is stored and compared only.
inline constexpr std::uint8_t FieldAddress = 2;
inline constexpr std::uint8_t FieldFirmware = 3;
inline constexpr std::uint8_t FieldModel = 12;
inline constexpr std::uint8_t FieldCopyText = 15;

struct FieldElement {
    std::uint8_t type;
    std::uint8_t length;                  // L as it stands in the element
    std::span<const std::uint8_t> value;  // the value bytes, cut where the buffer ends
};

bool IsDiscoveryReply(const ReceiveBuffer& buffer);

/// Hands every element of the reply in `buffer` to `consumer`, in the order in which they stand.
template <typename Consumer>
void WalkFieldElements(const ReceiveBuffer& buffer, Consumer&& consumer) {
    constexpr int last = static_cast<int>(ReceiveBufferSize) - 1;
    const int end = 4 + buffer[3];
    int position = 4;
    // An element is taken when it begins inside the area, but only the part of it that lies
    // inside the buffer is ever read; one whose head is cut off ends the walk.
    while (position < end && position + 2 <= last) {
        const std::uint8_t type = buffer[static_cast<std::size_t>(position)];
        const std::uint8_t length = buffer[static_cast<std::size_t>(position + 2)];
        const int first = position + 3;  // at most one past the last byte
        const int available = last + 1 - first;
        const int taken = length < available ? length : available;
        consumer(
            FieldElement{type, length,
                         std::span<const std::uint8_t>(buffer).subspan(
                             static_cast<std::size_t>(first), static_cast<std::size_t>(taken))});
        position = first + length;
    }
}

}  // namespace nimbrel
