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
    EXPECT_EQ(DisplayedMac({1, 2, 3, 4, 0x12, 0x34}, "QZL-TMR-M"),
              (MacBytes{1, 2, 3, 4, 0x12, 0x33}));
    EXPECT_EQ(DisplayedMac({1, 2, 3, 4, 0x12, 0x00}, "x QZL-TMR"),
              (MacBytes{1, 2, 3, 4, 0x11, 0xFF}));
    EXPECT_EQ(DisplayedMac({0, 0, 0, 0, 0x00, 0x00}, "QZL-TMR1-AC"),
              (MacBytes{0, 0, 0, 0, 0xFF, 0xFF}));
    EXPECT_EQ(DisplayedMac({1, 2, 3, 4, 0x12, 0x34}, "qzl-tmr2-ac"),
              (MacBytes{1, 2, 3, 4, 0x12, 0x33}));
}

TEST(StatusText, OtherModelsShowTheListedBytes) {
    EXPECT_EQ(DisplayedMac({1, 2, 3, 4, 0x12, 0x34}, "QZL-TVX"),
              (MacBytes{1, 2, 3, 4, 0x12, 0x34}));
    EXPECT_EQ(DisplayedMac({1, 2, 3, 4, 0x12, 0x34}, ""), (MacBytes{1, 2, 3, 4, 0x12, 0x34}));
}

TEST(StatusText, DetailsAreTheListedMacAndTheFirmware) {
    DeviceView device = testing::Device("QZL-TVX", 1, {0xA0, 1, 2, 3, 4, 5}, "");
    EXPECT_EQ(DeviceStatusText(device), "MAC:00-01-02-03-04-05  VER:");
    device = testing::Device("QZL-TMR", 1, {0xA0, 1, 2, 3, 0x12, 0x00}, "2.0");
    EXPECT_EQ(DeviceStatusText(device), "MAC:A0-01-02-03-11-FF  VER:2.0");
}

TEST(StatusText, LeftOutDevicesAreCountedOnlyWhenThereAreAny) {
    EXPECT_EQ(LeftOutText(11, 3), "11 of 14 devices shown");
    EXPECT_EQ(LeftOutText(11, 0), "");
}

TEST(DeviceText, EachByteIsOneCharacter) {
    const QString text = FromDeviceBytes("Caf\xE9\x01<b>");
    ASSERT_EQ(text.size(), 8);
    EXPECT_EQ(text.at(3), QChar(0xE9));
    EXPECT_EQ(text.at(4), QChar(0x01));
    EXPECT_EQ(text.mid(5), QStringLiteral("<b>"));
}

TEST(DeviceText, UpperCasingMapsSmallLettersByteForByte) {
    EXPECT_EQ(UpperDeviceBytes("qzl-tmr 1a"), "QZL-TMR 1A");
    EXPECT_EQ(UpperDeviceBytes("\xE9\xF7\xFF\xB5"), "\xC9\xF7\xFF\xB5");
}

TEST(KeyCharacter, ControlLettersGiveTheirControlCodes) {
    EXPECT_EQ(KeyCharacter(Qt::Key_C, Qt::ControlModifier, QString()), 3);
    EXPECT_EQ(KeyCharacter(Qt::Key_C, Qt::ControlModifier, QStringLiteral("c")), 3);
    EXPECT_EQ(KeyCharacter(Qt::Key_A, Qt::ControlModifier, QString()), 1);
}

TEST(KeyCharacter, OtherKeysGiveTheTypedCharacterOrNothing) {
    EXPECT_EQ(KeyCharacter(Qt::Key_C, Qt::NoModifier, QStringLiteral("c")), 'c');
    EXPECT_EQ(KeyCharacter(Qt::Key_F5, Qt::NoModifier, QString()), 0);
    EXPECT_EQ(KeyCharacter(Qt::Key_C, Qt::ControlModifier | Qt::AltModifier, QString()), 0);
}

}  // namespace
}  // namespace nimbrel
