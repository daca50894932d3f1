// SPDX-License-Identifier: MIT
// Reading the tools' output back as a consumer would: UTF-8 checked by the tools' own
// validator (tested on its own), then decoded for counting and comparing characters.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tools/text_output.h"

namespace nimbrel::testing {

/// The code points of `utf8`; nullopt when it is not well-formed UTF-8.
inline std::optional<std::u32string> codePoints(std::string_view utf8) {
    if (!tools::isUtf8(utf8)) {
        return std::nullopt;
    }
    std::u32string points;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) == 0x80) {
            points.back() = (points.back() << 6) | (byte & 0x3F);
        } else {
            const int length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
            points.push_back(length == 1 ? byte : byte & (0x7F >> length));
        }
    }
    return points;
}

}  // namespace nimbrel::testing
