// The default failure report as the application shell shows it; the "." rule itself is tested
// with the window's parts.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <stdexcept>

#include "app/failure_report.h"
#include "main/message_dialog.h"
#include "tests/gui/expected_boxes.h"

namespace nimbrel::testing {
namespace {

TEST(FailureReport, EmptyMessageShowsAnEmptyBoxCaptionedWithTheTitle) {
    ExpectBoxes box;
    QTimer::singleShot(0, [] { throw std::runtime_error(""); });

    QCoreApplication::processEvents();

    EXPECT_EQ(box.Box().text, "");
    EXPECT_EQ(box.Box().title, "NIMBREL AP/BRIDGE/CloudAP");
    EXPECT_EQ(box.Box().icon, QMessageBox::Critical);
    EXPECT_EQ(box.Box().buttonCount, 1);
}

TEST(FailureReport, WithNobodyToSeeTheScreenGoesToStderrInsteadOfWaiting) {
    // The suite runs offscreen: without a test hook, a box there is never run.
    ASSERT_EQ(QGuiApplication::platformName(), "offscreen");
    const MessageDialog::TestHook refuseBoxes = MessageDialog::SetTestHook({});
    ::testing::internal::CaptureStderr();
    ShowFailureReport("Socket Error # 10051\r\nNetwork is unreachable");
    MessageDialog::SetTestHook(refuseBoxes);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "NIMBREL AP/BRIDGE/CloudAP: Socket Error # 10051\r\nNetwork is unreachable.\n");
}

}  // namespace
}  // namespace nimbrel::testing
