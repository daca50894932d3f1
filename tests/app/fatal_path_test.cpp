// SPDX-License-Identifier: MIT
// A failure outside every search: the socket cannot be opened as the main window is created.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <cstdio>

#include "app/fatal_report.h"
#include "app/process_platform.h"
#include "tests/app/child_run.h"
#include "tests/gui/expected_boxes.h"

namespace nimbrel::testing {
namespace {

TEST(FatalReportText, FollowsTheTemplateWithEightUpperCaseHexDigits) {
    EXPECT_EQ(fatalReportText("ESocketError", "nimbrel-utility.exe", 0x1A2B3C,
                              "Socket Error # 10022\r\nInvalid argument."),
              "Exception ESocketError in module nimbrel-utility.exe at 001A2B3C.\r\n"
              "Socket Error # 10022\r\nInvalid argument.\r\n");
    EXPECT_TRUE(fatalReportText("K", "m", 0xDEADBEEF, "x.").contains(" at DEADBEEF.\r\n"));
}

TEST(FatalReportText, AFullStopFollowsEveryMessageThatDoesNotEndInOne) {
    // A plainer test than the failure report's: "!" and the like get one too.
    const QString head = "Exception K in module m at 00000001.\r\n";
    EXPECT_EQ(fatalReportText("K", "m", 1, "Done."), head + "Done.\r\n");
    for (const QString message : {"Stop!", "(x)", "a,", "a ", "why?", "7"}) {
        EXPECT_EQ(fatalReportText("K", "m", 1, message), head + message + ".\r\n")
            << message.toStdString();
    }
    EXPECT_EQ(fatalReportText("K", "m", 1, ""), head + "\r\n");
}

void someCode() {}

TEST(LocateCode, NamesTheModuleWithoutItsDirectoryAndCountsFromItsStart) {
    const auto* code = reinterpret_cast<const char*>(&someCode);
    const CodeLocation here = locateCode(code);
    EXPECT_EQ(here.module, "app_tests");
    EXPECT_EQ(locateCode(code + 16).offset - here.offset, 16u);
    EXPECT_LT(here.offset, QFileInfo(QCoreApplication::applicationFilePath()).size());
    // Code in a library is counted from the library's start and names the library.
    EXPECT_EQ(locateCode(reinterpret_cast<const void*>(&std::fputs)).module, "libc.so.6");
    // An unknown address names the program.
    EXPECT_EQ(locateCode(nullptr).module, "app_tests");
    EXPECT_EQ(locateCode(nullptr).offset, 0u);
}

TEST(FatalReport, GoesToStderrAndToTheApplicationErrorBox) {
    ExpectBoxes box;
    ::testing::internal::CaptureStderr();

    reportFatalFailure(ownError("ESocketAllocation", "Cannot allocate socket."));

    const QString written = QString::fromStdString(::testing::internal::GetCapturedStderr());
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.box().text, written);
    EXPECT_EQ(box.box().title, "Application Error");
    EXPECT_EQ(box.box().icon, QMessageBox::Critical);
    EXPECT_EQ(box.box().buttonCount, 1);
    EXPECT_FALSE(box.box().hasParent);
    EXPECT_EQ(box.box().textFormat, Qt::PlainText);
    const QRegularExpressionMatch match =
        QRegularExpression(
            "^Exception ESocketAllocation in module app_tests at ([0-9A-F]{8})\\.\r\n"
            "Cannot allocate socket\\.\r\n$")
            .match(written);
    ASSERT_TRUE(match.hasMatch()) << written.toStdString();
    const std::uint32_t raised = match.captured(1).toUInt(nullptr, 16);
    EXPECT_GT(raised, 0u);
    EXPECT_LT(raised, QFileInfo(QCoreApplication::applicationFilePath()).size());
}

TEST(FatalPathOfTheProgram, SocketThatCannotBeCreatedEndsItWithStatusOneAndSaysWhyOnStderr) {
    if (!inPrivateNetwork()) {
        GTEST_SKIP() << "runs the program, so only inside a private network namespace";
    }
    QProcessEnvironment environment;
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("LD_PRELOAD", FAIL_DATAGRAM_SOCKETS_PATH);

    const ChildResult result = runUtility(environment);

    EXPECT_TRUE(result.exitedNormally);
    EXPECT_EQ(result.exitCode, 1);
    const QRegularExpressionMatch match =
        QRegularExpression(
            "Exception ESocketAllocation in module nimbrel-utility at "
            "([0-9A-F]{8})\\.\r\nCannot allocate socket\\.\r\n$")
            .match(QString::fromLocal8Bit(result.standardError));
    ASSERT_TRUE(match.hasMatch()) << result.standardError.toStdString();
    const std::uint32_t raised = match.captured(1).toUInt(nullptr, 16);
    EXPECT_GT(raised, 0u);
    EXPECT_LT(raised, QFileInfo(NIMBREL_UTILITY_PATH).size());
}

}  // namespace
}  // namespace nimbrel::testing
