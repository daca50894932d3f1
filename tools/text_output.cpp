// SPDX-License-Identifier: MIT
#include "tools/text_output.h"

#include <array>

namespace nimbrel::tools {

namespace {

constexpr std::array<char, 16> HexDigits{'0', '1', '2', '3', '4', '5', '6', '7',
                                         '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};

// C0 controls, DEL and the C1 controls, which some terminals obey as well (U+009B opens a
// control sequence).
bool IsControl(unsigned char byte) {
    return byte < 0x20 || (byte >= 0x7F && byte < 0xA0);
}

void AppendLatin1(std::string& out, unsigned char byte) {
    if (byte < 0x80) {
        out.push_back(static_cast<char>(byte));
    } else {
        out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
        out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
}

void AppendHex(std::string& out, unsigned char byte) {
    out.push_back(HexDigits[byte >> 4]);
    out.push_back(HexDigits[byte & 0x0F]);
}

}  // namespace

std::string JsonString(std::string_view bytes) {
    std::string out = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (IsControl(byte)) {
            out += "\\u00";
            AppendHex(out, byte);
        } else {
            AppendLatin1(out, byte);
        }
    }
    out.push_back('"');
    return out;
}

std::string TerminalText(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsControl(byte)) {
            out += "\\x";
            AppendHex(out, byte);
        } else {
            AppendLatin1(out, byte);
        }
    }
    return out;
}

std::size_t DisplayWidth(std::string_view utf8) {
    std::size_t width = 0;
    for (const char c : utf8) {
        // Continuation bytes belong to the character before them.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++width;
        }
    }
    return width;
}

}  // namespace nimbrel::tools
