// SPDX-License-Identifier: MIT
// The window's parts that need no window: the status texts, 8-bit text and key codes.
#include <gtest/gtest.h>

#include "main/main_window.h"
#include "main/status_text.h"
#include "main/text.h"
#include "tests/gui/window_fixture.h"

namespace nimbrel {
namespace {

TEST(StatusText, ShownMacOfTheTmrFamilyIsOneLessInItsLastTwoBytes) {
    EXPECT_EQ(displayedMac({1, 2, 3, 4, 0x12, 0x34}, "QZL-TMR-M"),
              (MacBytes{1, 2, 3, 4, 0x12, 0x33}));
    EXPECT_EQ(displayedMac({1, 2, 3, 4, 0x12, 0x00}, "x QZL-TMR"),
              (MacBytes{1, 2, 3, 4, 0x11, 0xFF}));
    EXPECT_EQ(displayedMac({0, 0, 0, 0, 0x00, 0x00}, "QZL-TMR1-AC"),
              (MacBytes{0, 0, 0, 0, 0xFF, 0xFF}));
    EXPECT_EQ(displayedMac({1, 2, 3, 4, 0x12, 0x34}, "qzl-tmr2-ac"),
              (MacBytes{1, 2, 3, 4, 0x12, 0x33}));
}

TEST(StatusText, OtherModelsShowTheListedBytes) {
    EXPECT_EQ(displayedMac({1, 2, 3, 4, 0x12, 0x34}, "QZL-TVX"),
              (MacBytes{1, 2, 3, 4, 0x12, 0x34}));
    EXPECT_EQ(displayedMac({1, 2, 3, 4, 0x12, 0x34}, ""), (MacBytes{1, 2, 3, 4, 0x12, 0x34}));
}

TEST(StatusText, DevicesLeftOutAndRepliesLostAreCountedOnlyWhenThereAreAny) {
    EXPECT_EQ(shownCountText(11, 3, 0), "11 of 14 devices shown");
    EXPECT_EQ(shownCountText(11, 3, 5), "11 of 14 devices shown, 5 replies lost");
    EXPECT_EQ(shownCountText(2, 0, 5), "5 replies lost");
    EXPECT_EQ(shownCountText(2, 0, 1), "1 reply lost");
    EXPECT_EQ(shownCountText(11, 0, 0), "");
}

TEST(DeviceText, EachByteIsOneCharacter) {
    const QString text = fromDeviceBytes("Caf\xE9\x01<b>");
    ASSERT_EQ(text.size(), 8);
    EXPECT_EQ(text.at(3), QChar(0xE9));
    EXPECT_EQ(text.at(4), QChar(0x01));
    EXPECT_EQ(text.mid(5), QStringLiteral("<b>"));
}

// On Windows the bytes 0x80-0x9F are read through the ANSI code page, Windows-1252 where these
// tests run: 0x85 and 0x9B are "…" and "›" there, text rather than the C1 controls of Latin-1.
TEST(DeviceText, ControlCharactersAreShownAsVisibleOnesOneForOne) {
#ifdef _WIN32
    const QString c1 = QString::fromUtf16(u"\u2026\u203A");
#else
    const QString c1 = QString::fromUtf16(u"\uFFFD\uFFFD");
#endif
    EXPECT_EQ(shownDeviceText(std::string_view("\0\x1F"
                                               "fw\r\n\x7F\x85\x9B\xA0\xE9",
                                               11)),
              QString::fromUtf16(u"\u2400\u241F"
                                 u"fw\u240D\u240A\u2421") +
                  c1 + QString::fromUtf16(u"\u00A0\u00E9"));
}

TEST(DeviceText, UpperCasingMapsSmallLettersByteForByte) {
    EXPECT_EQ(upperDeviceBytes("qzl-tmr 1a"), "QZL-TMR 1A");
#ifdef _WIN32
    EXPECT_EQ(upperDeviceBytes("\xE9\xF7\xFF\xB5"), "\xC9\xF7\x9F\xB5");  // 0x9F is "Ÿ"
#else
    EXPECT_EQ(upperDeviceBytes("\xE9\xF7\xFF\xB5"), "\xC9\xF7\xFF\xB5");
#endif
}

TEST(KeyCharacter, ControlLettersGiveTheirControlCodes) {
    EXPECT_EQ(keyCharacter(Qt::Key_C, Qt::ControlModifier, QString()), 3);
    EXPECT_EQ(keyCharacter(Qt::Key_C, Qt::ControlModifier, QStringLiteral("c")), 3);
    EXPECT_EQ(keyCharacter(Qt::Key_A, Qt::ControlModifier, QString()), 1);
}

TEST(KeyCharacter, OtherKeysGiveTheTypedCharacterOrNothing) {
    EXPECT_EQ(keyCharacter(Qt::Key_C, Qt::NoModifier, QStringLiteral("c")), 'c');
    EXPECT_EQ(keyCharacter(Qt::Key_F5, Qt::NoModifier, QString()), 0);
    EXPECT_EQ(keyCharacter(Qt::Key_C, Qt::ControlModifier | Qt::AltModifier, QString()), 0);
}

}  // namespace
}  // namespace nimbrel
