// SPDX-License-Identifier: MIT
// --help, --version and options the program does not know, read in-process and by the real
// program. The program is run without any display, so that even a command line it failed to
// end on would stop at the display check, long before a socket exists.
#include <gtest/gtest.h>
#include <QProcessEnvironment>
#include <QSet>
#include <utility>

#include "app/command_line.h"
#include "tests/app/child_run.h"
#include "tests/tools/man_page_options.h"

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

// The options as the help text lists them ("  -h, --help  Displays..."): each that the parser
// registers, --help-all among them.
QStringList listedOptions() {
    const QString help = QString::fromStdString(read({"--help"}).output);
    const QStringList lines =
        help.section(QStringLiteral("Options:\n"), 1).split(QLatin1Char('\n'));
    QStringList options;
    for (const QString& line : lines) {
        const QString names = line.trimmed().section(QStringLiteral("  "), 0, 0);
        if (names.startsWith(QLatin1Char('-'))) {
            options << names.split(QStringLiteral(", "));
        }
    }
    return options;
}

TEST(CommandLine, EveryOptionTheHelpListsEndsTheProgram) {
    const QStringList options = listedOptions();
    for (const char* expected : {"-h", "--help", "--help-all", "-v", "--version"}) {
        EXPECT_TRUE(options.contains(QString::fromLatin1(expected)))
            << options.join(' ').toStdString();
    }
    for (const QString& option : options) {
        const CommandLineOutcome outcome = read({option});
        EXPECT_FALSE(outcome.run) << option.toStdString();
        EXPECT_EQ(outcome.status, 0) << option.toStdString();
        EXPECT_FALSE(outcome.output.empty()) << option.toStdString();
    }
    EXPECT_EQ(read({"--version"}).output, "nimbrel-utility 1.6.0\n");
}

TEST(CommandLine, HelpAllAddsTheQtOptionsThatTheProgramTakes) {
    const std::string helpAll = read({"--help-all"}).output;
    EXPECT_EQ(helpAll.rfind(read({"--help"}).output, 0), 0u) << helpAll;
    for (const char* qtOption : {"-platform <value>", "-reverse\n", "-style <value>"}) {
        EXPECT_NE(helpAll.find(qtOption), std::string::npos) << qtOption << " in " << helpAll;
    }
}

// The options that --help-all lists, the program's own and Qt's ("  -platform <value>").
QSet<QString> everyOptionTaken() {
    QSet<QString> options;
    for (const QString& line : QString::fromStdString(read({"--help-all"}).output).split('\n')) {
        // "-h, --help  Displays..." or "-platform <value>": the names before the description.
        const QString names = line.trimmed().section(QStringLiteral("  "), 0, 0);
        for (const QString& name : names.split(QStringLiteral(", "))) {
            if (name.startsWith(QLatin1Char('-'))) {
                options << name.section(' ', 0, 0);
            }
        }
    }
    return options;
}

// The options that the man page names in its SYNOPSIS and OPTIONS sections.
QSet<QString> optionsOfTheManPage() {
    QSet<QString> options;
    for (const std::string& option :
         manPageOptions(NIMBREL_UTILITY_MAN_PAGE, {".SH SYNOPSIS", ".SH OPTIONS"})) {
        options << QString::fromStdString(option);
    }
    return options;
}

TEST(CommandLine, TheManPageNamesExactlyTheOptionsThatTheProgramTakes) {
    const QSet<QString> taken = everyOptionTaken();
    EXPECT_TRUE(taken.contains("--help-all") && taken.contains("-platform"));
    EXPECT_EQ(optionsOfTheManPage(), taken);
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

TEST_F(CommandLineOfTheProgram, HelpHelpAllAndVersionNeedNoDisplay) {
    for (const auto& [option, shows] :
         {std::pair{"--help", "--version"}, std::pair{"--help-all", "-platform"},
          std::pair{"--version", "nimbrel-utility 1.6.0\n"}}) {
        SCOPED_TRACE(option);
        const ChildResult result = run({QString::fromLatin1(option)});
        EXPECT_TRUE(result.exitedNormally);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(result.standardOutput.contains(shows)) << result.standardOutput.data();
        EXPECT_TRUE(result.standardError.isEmpty()) << result.standardError.data();
    }
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
