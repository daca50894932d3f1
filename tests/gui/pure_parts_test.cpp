// The window's parts that need no window: icon choice, status text, 8-bit text, key codes and
// the failure report's text.
#include <gtest/gtest.h>

#include "app/failure_report.h"
#include "main/main_window.h"
#include "main/model_icons.h"
#include "main/status_text.h"
#include "main/text.h"

namespace nimbrel {
namespace {

TEST(ModelIcons, EachRowPatternAloneSelectsItsImage) {
    const std::vector<std::pair<std::string, int>> cases{
        {"QZL-TMR1-AC-A", 9}, {"QZL-TMR2-AC", 8}, {"QZL-TMR1-AC", 10}, {"QZL-P-AC", 11},
        {"QZH-P-AC", 12},     {"QZL-TMR-M", 0},   {"QZL-TMR-A", 1},    {"QZL-TVX2-W", 2},
        {"QZL-TVX-S", 3},     {"QZL-TLX2", 3},    {"QZL-TMR", 4},      {"QZL-TVX", 5},
    };
    for (const auto& [model, image] : cases) {
        EXPECT_EQ(ChooseModelIcon(model).imageIndex, image) << model;
    }
}

TEST(ModelIcons, FirstMatchingRowWinsOverPatternsInsideIt) {
    EXPECT_EQ(ChooseModelIcon("QZL-TMR1-AC-A").imageIndex, 9);
    EXPECT_EQ(ChooseModelIcon("QZL-TMR-X9").imageIndex, 4);
    EXPECT_EQ(ChooseModelIcon("QZL-TVX2-W5").imageIndex, 2);
}

TEST(ModelIcons, PatternMatchesAnywhereButOnlyByteExact) {
    EXPECT_EQ(ChooseModelIcon("new QZL-P-AC pro").imageIndex, 11);
    EXPECT_EQ(ChooseModelIcon("qzl-tmr-m").imageIndex, DefaultImageIndex);
    EXPECT_EQ(ChooseModelIcon("").imageIndex, DefaultImageIndex);
    EXPECT_EQ(ChooseModelIcon("Other").imageIndex, DefaultImageIndex);
}

TEST(ModelIcons, OnlyTheLastRowClearsTheFirstMacByte) {
    EXPECT_TRUE(ChooseModelIcon("QZL-TVX-5").clearFirstMacByte);
    EXPECT_FALSE(ChooseModelIcon("QZL-TVX2-W").clearFirstMacByte);
    EXPECT_FALSE(ChooseModelIcon("QZL-TVX-S").clearFirstMacByte);
    EXPECT_FALSE(ChooseModelIcon("none").clearFirstMacByte);
}

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

TEST(StatusText, OtherModelsShowTheStoredBytes) {
    EXPECT_EQ(DisplayedMac({1, 2, 3, 4, 0x12, 0x34}, "QZL-TVX"),
              (MacBytes{1, 2, 3, 4, 0x12, 0x34}));
    EXPECT_EQ(DisplayedMac({1, 2, 3, 4, 0x12, 0x34}, ""), (MacBytes{1, 2, 3, 4, 0x12, 0x34}));
}

TEST(StatusText, HintsReadAsTheProgramShowsThem) {
    EXPECT_EQ(StartHint, "Press F5 to search,Double click to config");
    EXPECT_EQ(OpenHint, "Please Double Click the items listed!");
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

TEST(FailureReportText, AFullStopFollowsALastByteAfterTheFullStop) {
    EXPECT_EQ(FailureReportText("Cannot open clipboard"), "Cannot open clipboard.");
    EXPECT_EQ(FailureReportText("code 7"), "code 7.");
    EXPECT_EQ(FailureReportText("why?"), "why?.");
    EXPECT_EQ(FailureReportText("caf\xE9"), "caf\xE9.");
}

TEST(FailureReportText, MessagesEndingAtOrBeforeTheFullStopStay) {
    for (const std::string message : {"Done.", "Stop!", "(x)", "a,", "a-", "a ", ""}) {
        EXPECT_EQ(FailureReportText(message), message);
    }
    EXPECT_EQ(FailureReportText("Socket Error # 10066\r\n"), "Socket Error # 10066\r\n");
}

}  // namespace
}  // namespace nimbrel
