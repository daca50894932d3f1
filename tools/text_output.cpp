// SPDX-License-Identifier: MIT
#include "tools/text_output.h"

#include <array>
#include <optional>
#include <vector>

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

struct CodePoint {
    char32_t value;
    std::string_view bytes;  // its UTF-8 encoding in the text
};

// The text's code points; nullopt when it is not valid UTF-8 (overlong forms, surrogates and
// values past U+10FFFF included).
std::optional<std::vector<CodePoint>> DecodeUtf8(std::string_view text) {
    std::vector<CodePoint> points;
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if ((lead >= 0x80 && lead < 0xC2) || lead > 0xF4 || at + length > text.size()) {
            return std::nullopt;
        }
        char32_t value = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            value = (value << 6) | (next & 0x3F);
        }
        constexpr std::array<char32_t, 5> Smallest{0, 0, 0x80, 0x800, 0x10000};
        if (value < Smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value < 0xE000)) {
            return std::nullopt;
        }
        points.push_back({value, text.substr(at, length)});
        at += length;
    }
    return points;
}

// `text` through `latin1` (a function of Latin-1 text), code point by code point where it is
// UTF-8: those up to U+00FF as the same byte would be, the others as they are.
template <typename Latin1>
std::string SystemText(std::string_view text, Latin1 latin1) {
    const std::optional<std::vector<CodePoint>> points = DecodeUtf8(text);
    if (!points) {
        return latin1(text);
    }
    std::string out;
    for (const CodePoint& point : *points) {
        if (point.value < 0x100) {
            const char byte = static_cast<char>(point.value);
            out += latin1(std::string_view(&byte, 1));
        } else {
            out += point.bytes;
        }
    }
    return out;
}

}  // namespace

std::string JsonSystemString(std::string_view text) {
    // Quoted once around the whole text, not around each code point.
    const std::string inner = SystemText(text, [](std::string_view part) {
        const std::string quoted = JsonString(part);
        return quoted.substr(1, quoted.size() - 2);
    });
    return '"' + inner + '"';
}

std::string TerminalSystemText(std::string_view text) {
    return SystemText(text, [](std::string_view part) { return TerminalText(part); });
}

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
