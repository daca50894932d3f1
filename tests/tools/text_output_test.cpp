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

using testing::codePoints;

// C0 controls, DEL and C1 controls: what a terminal may obey instead of showing.
bool isControlPoint(char32_t point) {
    return point < 0x20 || (point >= 0x7F && point < 0xA0);
}

std::string byte(int value) {
    return std::string(1, static_cast<char>(value));
}

std::string everyByte() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes += byte(value);
    }
    return bytes;
}

std::u32string latin1Points(std::string_view bytes) {
    std::u32string points;
    for (const char c : bytes) {
        points.push_back(static_cast<unsigned char>(c));
    }
    return points;
}

// Fails unless `utf8` is well-formed and holds no control character as it stands.
void expectNoRawControls(const std::string& utf8) {
    const std::optional<std::u32string> points = codePoints(utf8);
    ASSERT_TRUE(points.has_value()) << "not UTF-8";
    for (const char32_t point : *points) {
        EXPECT_FALSE(isControlPoint(point)) << "raw control U+" << std::hex << +point;
    }
}

TEST(JsonLine, DeviceTextsReadBackAsLatin1WithEveryControlEscaped) {
    const std::string all = everyByte() + everyByte();  // the NUL first and inside
    const std::string line = jsonLine(nlohmann::ordered_json(latin1ToUtf8(all)));
    expectNoRawControls(line);
    EXPECT_EQ(codePoints(nlohmann::json::parse(line).get<std::string>()), latin1Points(all));
    EXPECT_EQ(jsonLine(nlohmann::ordered_json(latin1ToUtf8("\x1b[31m\x7f\x9b"
                                                           "2J\"\\"))),
              R"("\u001b[31m\u007f\u009b2J\"\\")");
    EXPECT_EQ(jsonLine(nlohmann::ordered_json(latin1ToUtf8("Caf\xe9 \xa0"))),
              "\"Caf\xc3\xa9 \xc2\xa0\"");
}

TEST(TerminalText, ShowsControlCharactersAsHexAndEverythingElseAsItself) {
    for (int value = 0; value < 256; ++value) {
        SCOPED_TRACE("byte " + std::to_string(value));
        const std::string shown = terminalText(byte(value));
        expectNoRawControls(shown);
        if (isControlPoint(static_cast<char32_t>(value))) {
            ASSERT_EQ(shown.size(), 4u) << shown;
            EXPECT_EQ(shown.substr(0, 2), "\\x");
            EXPECT_EQ(std::stoi(shown.substr(2), nullptr, 16), value) << shown;
        } else {
            EXPECT_EQ(codePoints(shown), std::u32string(1, static_cast<char32_t>(value)));
        }
    }
    EXPECT_EQ(terminalText("\x1b]0;owned\x07"), "\\x1b]0;owned\\x07");
    EXPECT_EQ(terminalText(std::string_view("ab\0c", 4)), "ab\\x00c");
}

TEST(TerminalSystemText, KeepsUtf8AndEscapesControlsAndBytesThatAreNotUtf8) {
    // "Ethernet 2" in Cyrillic and with an accent: the interface names of some systems.
    EXPECT_EQ(terminalSystemText("\xd0\x95th\xc3\xa9rnet\t2"), "\xd0\x95th\xc3\xa9rnet\\x092");
    EXPECT_EQ(terminalSystemText("a\xc2\x9b[2J\x7f"), "a\\x9b[2J\\x7f");  // C1 and DEL
    // Bytes that are not UTF-8 are shown, not re-encoded: a lone 0xE9, an overlong slash, a
    // surrogate, a cut sequence; the valid text around them stays.
    EXPECT_EQ(terminalSystemText("bad\xff\xfe"), "bad\\xff\\xfe");
    EXPECT_EQ(terminalSystemText("\xe9t\xc3\xa9"), "\\xe9t\xc3\xa9");
    EXPECT_EQ(terminalSystemText("\xc0\xaf/\xed\xa0\x80"), "\\xc0\\xaf/\\xed\\xa0\\x80");
    EXPECT_EQ(terminalSystemText("x\xe2\x82"), "x\\xe2\\x82");
    // Whatever the bytes, nothing that a terminal would obey comes out.
    expectNoRawControls(terminalSystemText(everyByte()));
}

TEST(IsUtf8, TakesWellFormedTextOnly) {
    EXPECT_TRUE(isUtf8(""));
    EXPECT_TRUE(isUtf8("eth0 \xd0\x95 \xe2\x80\xa6 \xf0\x9f\x98\x80"));
    for (const std::string_view bad :
         {"\xff", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xe2\x82", "\x80", "a\xc3"}) {
        EXPECT_FALSE(isUtf8(bad)) << codePoints(terminalSystemText(bad)).has_value();
    }
}

TEST(DisplayWidth, CountsCharactersNotBytes) {
    EXPECT_EQ(displayWidth(""), 0u);
    EXPECT_EQ(displayWidth("Caf\xc3\xa9"), 4u);
    EXPECT_EQ(displayWidth("Searching\u2026 3 s"), 14u);
    // A shown device text takes one column per character, whatever its bytes were.
    const std::string shown = terminalText(everyByte());
    EXPECT_EQ(displayWidth(shown), codePoints(shown)->size());
}

}  // namespace
}  // namespace nimbrel::tools
