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
    EXPECT_EQ(failureReportText("Cannot open clipboard"), "Cannot open clipboard.");
    EXPECT_EQ(failureReportText("code 7"), "code 7.");
    EXPECT_EQ(failureReportText("why?"), "why?.");
    EXPECT_EQ(failureReportText("caf\xE9"), "caf\xE9.");
}

TEST(FailureReportText, MessagesEndingAtOrBeforeTheFullStopStay) {
    for (const std::string message : {"Done.", "Stop!", "(x)", "a,", "a-", "a ", ""}) {
        EXPECT_EQ(failureReportText(message), message);
    }
    EXPECT_EQ(failureReportText("Socket Error # 10066\r\n"), "Socket Error # 10066\r\n");
}

TEST(FailureReport, IsAStopBoxCaptionedWithTheTitleAndClosedBeforeWhatFollows) {
    ExpectBoxes box;
    bool closed = false;

    showFailureReport(ownError("EKind", "<b>Network</b> is unreachable"), [&] { closed = true; });

    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.box().text, "<b>Network</b> is unreachable.");
    EXPECT_EQ(box.box().title, "NIMBREL AP/BRIDGE/CloudAP");
    EXPECT_EQ(box.box().icon, QMessageBox::Critical);
    EXPECT_EQ(box.box().buttons, QMessageBox::Ok);
    EXPECT_EQ(box.box().buttonCount, 1);
    EXPECT_EQ(box.box().textFormat, Qt::PlainText);
    EXPECT_FALSE(box.box().hasParent);
    EXPECT_TRUE(closed);
}

TEST(FailureReport, WithNobodyToSeeTheScreenGoesToStderrInsteadOfWaiting) {
    // The suite runs offscreen: without a test hook, a box there is never opened.
    ASSERT_EQ(QGuiApplication::platformName(), "offscreen");
    const MessageDialog::TestHook refuseBoxes = MessageDialog::setTestHook({});
    bool closed = false;
    ::testing::internal::CaptureStderr();
    showFailureReport(socketError(10051), [&] { closed = true; });
    MessageDialog::setTestHook(refuseBoxes);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "NIMBREL AP/BRIDGE/CloudAP: Socket Error # 10051\r\nNetwork is unreachable.\n");
    EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace nimbrel::testing
