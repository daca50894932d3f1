// SPDX-License-Identifier: MIT
#include "tests/tools/json_reading.h"

#include <cstddef>
#include <cstdint>

namespace nimbrel::testing {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Reads one UTF-8 sequence at `at` and moves past it; false when it is not a well-formed one
// (overlong forms, surrogates and values past U+10FFFF included).
bool ReadUtf8(std::string_view text, std::size_t& at, char32_t& point) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t extra = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        point = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        point = lead & 0x1Fu;
        extra = 1;
        least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        point = lead & 0x0Fu;
        extra = 2;
        least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        point = lead & 0x07u;
        extra = 3;
        least = 0x10000;
    } else {
        return false;
    }
    if (at + extra >= text.size()) {
        return false;  // the sequence is cut off
    }
    for (std::size_t i = 1; i <= extra; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return false;
        }
        point = (point << 6) | (next & 0x3Fu);
    }
    at += extra + 1;
    return point >= least && point <= 0x10FFFF && (point < 0xD800 || point > 0xDFFF);
}

}  // namespace

std::optional<std::u32string> DecodeUtf8(std::string_view utf8) {
    std::u32string points;
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t point = 0;
        if (!ReadUtf8(utf8, at, point)) {
            return std::nullopt;
        }
        points.push_back(point);
    }
    return points;
}

std::optional<std::u32string> DecodeJsonString(std::string_view json) {
    if (json.size() < 2 || json.front() != '"' || json.back() != '"') {
        return std::nullopt;
    }
    const std::string_view inner = json.substr(1, json.size() - 2);
    std::u32string points;
    for (std::size_t at = 0; at < inner.size();) {
        const auto byte = static_cast<unsigned char>(inner[at]);
        if (byte < 0x20 || byte == '"') {
            return std::nullopt;  // raw control characters and quotes are not allowed inside
        }
        if (byte != '\\') {
            char32_t point = 0;
            if (!ReadUtf8(inner, at, point)) {
                return std::nullopt;
            }
            points.push_back(point);
            continue;
        }
        if (at + 1 >= inner.size()) {
            return std::nullopt;
        }
        const char escaped = inner[at + 1];
        at += 2;
        switch (escaped) {
            case '"':
            case '\\':
            case '/': points.push_back(static_cast<char32_t>(escaped)); break;
            case 'b': points.push_back(U'\b'); break;
            case 'f': points.push_back(U'\f'); break;
            case 'n': points.push_back(U'\n'); break;
            case 'r': points.push_back(U'\r'); break;
            case 't': points.push_back(U'\t'); break;
            case 'u': {
                if (at + 4 > inner.size()) {
                    return std::nullopt;
                }
                char32_t unit = 0;
                for (std::size_t i = 0; i < 4; ++i) {
                    const int digit = HexDigit(inner[at + i]);
                    if (digit < 0) {
                        return std::nullopt;
                    }
                    unit = unit * 16 + static_cast<char32_t>(digit);
                }
                at += 4;
                // Device texts are 8-bit: no surrogate pair can stand for one of their bytes.
                if (unit >= 0xD800 && unit <= 0xDFFF) {
                    return std::nullopt;
                }
                points.push_back(unit);
                break;
            }
            default: return std::nullopt;
        }
    }
    return points;
}

std::u32string Latin1CodePoints(std::string_view bytes) {
    std::u32string points;
    for (const char c : bytes) {
        points.push_back(static_cast<unsigned char>(c));
    }
    return points;
}

}  // namespace nimbrel::testing
