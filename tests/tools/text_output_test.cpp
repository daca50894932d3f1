// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "tests/tools/json_reading.h"
#include "tools/text_output.h"

namespace nimbrel::tools {
namespace {

using testing::DecodeJsonString;
using testing::DecodeUtf8;
using testing::Latin1CodePoints;

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

// Fails unless `utf8` is well-formed and holds no control character as it stands.
void ExpectNoRawControls(const std::string& utf8) {
    const std::optional<std::u32string> points = DecodeUtf8(utf8);
    ASSERT_TRUE(points.has_value()) << "not UTF-8";
    for (const char32_t point : *points) {
        EXPECT_FALSE(IsControlPoint(point)) << "raw control U+" << std::hex << +point;
    }
}

TEST(JsonString, EveryByteReadsBackAsTheCharacterOfTheSameCode) {
    for (int value = 0; value < 256; ++value) {
        SCOPED_TRACE("byte " + std::to_string(value));
        const std::string json = JsonString(Byte(value));
        EXPECT_EQ(DecodeJsonString(json), std::u32string(1, static_cast<char32_t>(value))) << json;
    }
    // All of them in one text, the NUL first and inside, as a device could send them.
    const std::string all = EveryByte() + EveryByte();
    EXPECT_EQ(DecodeJsonString(JsonString(all)), Latin1CodePoints(all));
    EXPECT_EQ(JsonString(""), "\"\"");
}

TEST(JsonString, EscapesQuotesBackslashesAndEveryControlCharacter) {
    EXPECT_EQ(JsonString("say \"hi\""), R"("say \"hi\"")");
    EXPECT_EQ(JsonString("C:\\path\\"), R"("C:\\path\\")");
    EXPECT_EQ(JsonString(std::string_view("a\0b", 3)), R"("a\u0000b")");
    EXPECT_EQ(JsonString("\x1b[31m"), R"("\u001b[31m")");
    EXPECT_EQ(JsonString("\x7f"), R"("\u007f")");
    EXPECT_EQ(JsonString("\x9b"
                         "2J"),
              R"("\u009b2J")");  // the one-byte control sequence opener
    // Printable characters stand as themselves: ASCII as it is, 0xA0 to 0xFF as UTF-8.
    EXPECT_EQ(JsonString("AP-1 v2.0/x"), "\"AP-1 v2.0/x\"");
    EXPECT_EQ(JsonString("Caf\xe9 \xa0\xff"), "\"Caf\xc3\xa9 \xc2\xa0\xc3\xbf\"");

    // Whatever the bytes, the literal itself shows nothing that a terminal would obey.
    ExpectNoRawControls(JsonString(EveryByte()));
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
            EXPECT_EQ(DecodeUtf8(shown), std::u32string(1, static_cast<char32_t>(value)));
        }
    }
    EXPECT_EQ(TerminalText("\x1b]0;owned\x07"), "\\x1b]0;owned\\x07");
    EXPECT_EQ(TerminalText(std::string_view("ab\0c", 4)), "ab\\x00c");
    EXPECT_EQ(TerminalText(""), "");
}

TEST(SystemText, KeepsUtf8AndEscapesItsControlsOrReadsOtherBytesAsLatin1) {
    // "Ethernet 2" in Cyrillic and with an accent: the interface names of some systems.
    const std::string name = "\xd0\x95th\xc3\xa9rnet\t2";
    EXPECT_EQ(JsonSystemString(name), "\"\xd0\x95th\xc3\xa9rnet\\u00092\"");
    EXPECT_EQ(TerminalSystemText(name), "\xd0\x95th\xc3\xa9rnet\\x092");
    EXPECT_EQ(TerminalSystemText("a\xc2\x9b[2J"), "a\\x9b[2J");  // U+009B, a C1 control
    // Not UTF-8 (a lone byte 0xE9, an overlong slash): read as Latin-1.
    EXPECT_EQ(TerminalSystemText("\xe9t\xe9"), TerminalText("\xe9t\xe9"));
    EXPECT_EQ(JsonSystemString("\xc0\xaf\""), JsonString("\xc0\xaf\""));
}

TEST(DisplayWidth, CountsCharactersNotBytes) {
    EXPECT_EQ(DisplayWidth(""), 0u);
    EXPECT_EQ(DisplayWidth("AP-1"), 4u);
    EXPECT_EQ(DisplayWidth("Caf\xc3\xa9"), 4u);
    EXPECT_EQ(DisplayWidth("Searching\u2026 3 s"), 14u);
    // A shown device text takes one column per character, whatever its bytes were.
    const std::string shown = TerminalText(EveryByte());
    EXPECT_EQ(DisplayWidth(shown), DecodeUtf8(shown)->size());
}

}  // namespace
}  // namespace nimbrel::tools
