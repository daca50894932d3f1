// SPDX-License-Identifier: MIT
// The failure report: its text, its box, and stderr where nobody sees the screen.
#include <gtest/gtest.h>
#include <QGuiApplication>

#include "app/failure_report.h"
#include "main/message_dialog.h"
#include "tests/gui/expected_boxes.h"

namespace nimbrel::testing {
namespace {

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

TEST(FailureReport, IsAStopBoxCaptionedWithTheTitleAndClosedBeforeWhatFollows) {
    ExpectBoxes box;
    bool closed = false;

    ShowFailureReport(OwnError("EKind", "<b>Network</b> is unreachable"), [&] { closed = true; });

    ASSERT_EQ(box.Count(), 1);
    EXPECT_EQ(box.Box().text, "<b>Network</b> is unreachable.");
    EXPECT_EQ(box.Box().title, "NIMBREL AP/BRIDGE/CloudAP");
    EXPECT_EQ(box.Box().icon, QMessageBox::Critical);
    EXPECT_EQ(box.Box().buttons, QMessageBox::Ok);
    EXPECT_EQ(box.Box().buttonCount, 1);
    EXPECT_EQ(box.Box().textFormat, Qt::PlainText);
    EXPECT_FALSE(box.Box().hasParent);
    EXPECT_TRUE(closed);
}

TEST(FailureReport, WithNobodyToSeeTheScreenGoesToStderrInsteadOfWaiting) {
    // The suite runs offscreen: without a test hook, a box there is never opened.
    ASSERT_EQ(QGuiApplication::platformName(), "offscreen");
    const MessageDialog::TestHook refuseBoxes = MessageDialog::SetTestHook({});
    bool closed = false;
    ::testing::internal::CaptureStderr();
    ShowFailureReport(SocketError(10051), [&] { closed = true; });
    MessageDialog::SetTestHook(refuseBoxes);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "NIMBREL AP/BRIDGE/CloudAP: Socket Error # 10051\r\nNetwork is unreachable.\n");
    EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace nimbrel::testing
