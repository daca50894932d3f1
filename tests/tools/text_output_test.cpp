// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "tests/tools/code_points.h"
#include "tools/report.h"
#include "tools/text_output.h"

namespace nimbrel::tools {
namespace {

using testing::CodePoints;

// C0 controls, DEL and C1 controls: what a terminal may obey instead of showing.
bool IsControlPoint(char32_t point) {
    return point < 0x20 || (point >= 0x7F && point < 0xA0);
}

std::string Byte(int value) {
    return std::string(1, static_cast<char>(value));
}

std::string EveryByte() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes += Byte(value);
    }
    return bytes;
}

std::u32string Latin1Points(std::string_view bytes) {
    std::u32string points;
    for (const char c : bytes) {
        points.push_back(static_cast<unsigned char>(c));
    }
    return points;
}

// Fails unless `utf8` is well-formed and holds no control character as it stands.
void ExpectNoRawControls(const std::string& utf8) {
    const std::optional<std::u32string> points = CodePoints(utf8);
    ASSERT_TRUE(points.has_value()) << "not UTF-8";
    for (const char32_t point : *points) {
        EXPECT_FALSE(IsControlPoint(point)) << "raw control U+" << std::hex << +point;
    }
}

TEST(JsonLine, DeviceTextsReadBackAsLatin1WithEveryControlEscaped) {
    const std::string all = EveryByte() + EveryByte();  // the NUL first and inside
    const std::string line = JsonLine(nlohmann::ordered_json(Latin1ToUtf8(all)));
    ExpectNoRawControls(line);
    EXPECT_EQ(CodePoints(nlohmann::json::parse(line).get<std::string>()), Latin1Points(all));
    EXPECT_EQ(JsonLine(nlohmann::ordered_json(Latin1ToUtf8("\x1b[31m\x7f\x9b"
                                                           "2J\"\\"))),
              R"("\u001b[31m\u007f\u009b2J\"\\")");
    EXPECT_EQ(JsonLine(nlohmann::ordered_json(Latin1ToUtf8("Caf\xe9 \xa0"))),
              "\"Caf\xc3\xa9 \xc2\xa0\"");
}

TEST(TerminalText, ShowsControlCharactersAsHexAndEverythingElseAsItself) {
    for (int value = 0; value < 256; ++value) {
        SCOPED_TRACE("byte " + std::to_string(value));
        const std::string shown = TerminalText(Byte(value));
        ExpectNoRawControls(shown);
        if (IsControlPoint(static_cast<char32_t>(value))) {
            ASSERT_EQ(shown.size(), 4u) << shown;
            EXPECT_EQ(shown.substr(0, 2), "\\x");
            EXPECT_EQ(std::stoi(shown.substr(2), nullptr, 16), value) << shown;
        } else {
            EXPECT_EQ(CodePoints(shown), std::u32string(1, static_cast<char32_t>(value)));
        }
    }
    EXPECT_EQ(TerminalText("\x1b]0;owned\x07"), "\\x1b]0;owned\\x07");
    EXPECT_EQ(TerminalText(std::string_view("ab\0c", 4)), "ab\\x00c");
}

TEST(TerminalSystemText, KeepsUtf8AndEscapesControlsAndBytesThatAreNotUtf8) {
    // "Ethernet 2" in Cyrillic and with an accent: the interface names of some systems.
    EXPECT_EQ(TerminalSystemText("\xd0\x95th\xc3\xa9rnet\t2"), "\xd0\x95th\xc3\xa9rnet\\x092");
    EXPECT_EQ(TerminalSystemText("a\xc2\x9b[2J\x7f"), "a\\x9b[2J\\x7f");  // C1 and DEL
    // Bytes that are not UTF-8 are shown, not re-encoded: a lone 0xE9, an overlong slash, a
    // surrogate, a cut sequence; the valid text around them stays.
    EXPECT_EQ(TerminalSystemText("bad\xff\xfe"), "bad\\xff\\xfe");
    EXPECT_EQ(TerminalSystemText("\xe9t\xc3\xa9"), "\\xe9t\xc3\xa9");
    EXPECT_EQ(TerminalSystemText("\xc0\xaf/\xed\xa0\x80"), "\\xc0\\xaf/\\xed\\xa0\\x80");
    EXPECT_EQ(TerminalSystemText("x\xe2\x82"), "x\\xe2\\x82");
    // Whatever the bytes, nothing that a terminal would obey comes out.
    ExpectNoRawControls(TerminalSystemText(EveryByte()));
}

TEST(IsUtf8, TakesWellFormedTextOnly) {
    EXPECT_TRUE(IsUtf8(""));
    EXPECT_TRUE(IsUtf8("eth0 \xd0\x95 \xe2\x80\xa6 \xf0\x9f\x98\x80"));
    for (const std::string_view bad :
         {"\xff", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xe2\x82", "\x80", "a\xc3"}) {
        EXPECT_FALSE(IsUtf8(bad)) << CodePoints(TerminalSystemText(bad)).has_value();
    }
}

TEST(DisplayWidth, CountsCharactersNotBytes) {
    EXPECT_EQ(DisplayWidth(""), 0u);
    EXPECT_EQ(DisplayWidth("Caf\xc3\xa9"), 4u);
    EXPECT_EQ(DisplayWidth("Searching\u2026 3 s"), 14u);
    // A shown device text takes one column per character, whatever its bytes were.
    const std::string shown = TerminalText(EveryByte());
    EXPECT_EQ(DisplayWidth(shown), CodePoints(shown)->size());
}

}  // namespace
}  // namespace nimbrel::tools
