// SPDX-License-Identifier: MIT
#include "tools/text_output.h"

#include <array>
#include <optional>

namespace nimbrel::tools {

namespace {

constexpr std::string_view HexDigits = "0123456789abcdef";

// C0 controls, DEL and the C1 controls, which some terminals obey as well (U+009B opens a
// control sequence).
bool isControl(char32_t point) {
    return point < 0x20 || (point >= 0x7F && point < 0xA0);
}

void appendLatin1(std::string& out, unsigned char byte) {
    if (byte < 0x80) {
        out.push_back(static_cast<char>(byte));
    } else {
        out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
        out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
}

void appendEscape(std::string& out, unsigned char byte) {
    out += "\\x";
    out.push_back(HexDigits[byte >> 4]);
    out.push_back(HexDigits[byte & 0x0F]);
}

struct CodePoint {
    char32_t value;
    std::size_t length;  // of its UTF-8 encoding in the text
};

std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead < 0xC2 || lead > 0xF4) {
        return 0;  // a continuation byte, an overlong two-byte lead, or past U+10FFFF
    }
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
}

// The code point that starts at `at`; nullopt when the bytes there are not well-formed UTF-8.
std::optional<CodePoint> decodeAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = sequenceLength(lead);
    if (length == 0 || at + length > text.size()) {
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
    return CodePoint{value, length};
}

}  // namespace

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        appendLatin1(out, static_cast<unsigned char>(c));
    }
    return out;
}

bool isUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::optional<CodePoint> point = decodeAt(text, at);
        if (!point) {
            return false;
        }
        at += point->length;
    }
    return true;
}

std::string terminalText(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (isControl(byte)) {
            appendEscape(out, byte);
        } else {
            appendLatin1(out, byte);
        }
    }
    return out;
}

std::string terminalSystemText(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::optional<CodePoint> point = decodeAt(text, at);
        if (!point) {
            appendEscape(out, static_cast<unsigned char>(text[at]));
            ++at;
            continue;
        }
        if (isControl(point->value)) {
            // A C1 control is written as the code point, as a device's text would be.
            appendEscape(out, static_cast<unsigned char>(point->value));
        } else {
            out += text.substr(at, point->length);
        }
        at += point->length;
    }
    return out;
}

std::size_t displayWidth(std::string_view utf8) {
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
