// SPDX-License-Identifier: MIT
// --help, --version and options the program does not know, read in-process and by the real
// program. The program is run without any display, so that even a command line it failed to
// end on would stop at the display check, long before a socket exists.
#include <gtest/gtest.h>
#include <QProcessEnvironment>

#include "app/command_line.h"
#include "tests/app/child_run.h"

namespace nimbrel::testing {
namespace {

CommandLineOutcome read(QStringList arguments) {
    arguments.prepend(QStringLiteral("nimbrel-utility"));
    return readCommandLine(arguments);
}

TEST(CommandLine, NoArgumentsRunTheProgram) {
    const CommandLineOutcome outcome = read({});
    EXPECT_TRUE(outcome.run);
    EXPECT_TRUE(outcome.output.empty());
    EXPECT_TRUE(outcome.errors.empty());
}

TEST(CommandLine, HelpAndVersionPrintAndEnd) {
    for (const QString option : {"--help", "-h"}) {
        const CommandLineOutcome help = read({option});
        EXPECT_FALSE(help.run);
        EXPECT_EQ(help.status, 0);
        EXPECT_NE(help.output.find("--version"), std::string::npos) << help.output;
    }
    const CommandLineOutcome version = read({"--version"});
    EXPECT_FALSE(version.run);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output, "nimbrel-utility 1.6.0\n");
}

TEST(CommandLine, UnknownOptionsAndArgumentsEndWithStatusTwo) {
    for (const QStringList& arguments : {QStringList{"--frobnicate"}, QStringList{"device"}}) {
        const CommandLineOutcome outcome = read(arguments);
        EXPECT_FALSE(outcome.run);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_TRUE(outcome.output.empty());
        EXPECT_EQ(outcome.errors.rfind("nimbrel-utility: ", 0), 0u) << outcome.errors;
    }
}

TEST(CommandLine, QtsOwnOptionsAreLeftToTheApplicationObject) {
    for (const QStringList& arguments :
         {QStringList{"-platform", "offscreen"}, QStringList{"-style=fusion", "-reverse"},
          QStringList{"--session", "1a2b"}, QStringList{"-qwindowgeometry", "100x100"}}) {
        EXPECT_TRUE(read(arguments).run) << arguments.join(' ').toStdString();
    }
    // Their names stay ours after "--", and an unknown option is still refused beside them.
    EXPECT_FALSE(read({"--", "-reverse"}).run);
    EXPECT_FALSE(read({"-platform", "offscreen", "--frobnicate"}).run);
}

class CommandLineOfTheProgram : public ::testing::Test {
protected:
    // No QT_QPA_PLATFORM, no DISPLAY, no WAYLAND_DISPLAY.
    ChildResult run(const QStringList& arguments) {
        return runUtility(QProcessEnvironment(), arguments);
    }
};

TEST_F(CommandLineOfTheProgram, HelpNeedsNoDisplay) {
    const ChildResult result = run({"--help"});
    EXPECT_TRUE(result.exitedNormally);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.standardOutput.contains("--version")) << result.standardOutput.data();
    EXPECT_TRUE(result.standardError.isEmpty()) << result.standardError.data();
}

TEST_F(CommandLineOfTheProgram, VersionPrintsTheVersion) {
    const ChildResult result = run({"--version"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardOutput, "nimbrel-utility 1.6.0\n");
}

TEST_F(CommandLineOfTheProgram, UnknownOptionEndsWithStatusTwoAndSaysWhy) {
    const ChildResult result = run({"--frobnicate"});
    EXPECT_TRUE(result.exitedNormally);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.standardOutput.isEmpty());
    EXPECT_TRUE(result.standardError.contains("frobnicate")) << result.standardError.data();
}

}  // namespace
}  // namespace nimbrel::testing
