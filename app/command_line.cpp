// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

#include "nimbrel_version.h"

namespace nimbrel {

namespace {

constexpr char ProgramName[] = "nimbrel-utility";

std::string UsageError(const QString& message) {
    return std::string(ProgramName) + ": " + message.toStdString() + "\nTry '" + ProgramName +
           " --help' for more information.\n";
}

}  // namespace

CommandLineOutcome ReadCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Finds the access points and bridges on the local network and lists them in a window."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    if (!parser.parse(arguments)) {
        return {false, UsageExitStatus, {}, UsageError(parser.errorText())};
    }
    if (parser.isSet(help)) {
        return {false, 0, parser.helpText().toStdString(), {}};
    }
    if (parser.isSet(version)) {
        return {false, 0, std::string(ProgramName) + " " + Version + "\n", {}};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return {false,
                UsageExitStatus,
                {},
                UsageError(QStringLiteral("Unexpected argument '%1'.")
                               .arg(parser.positionalArguments().front()))};
    }
    return {};
}

std::optional<int> HandleCommandLine(int& argc, char** argv) {
    // A core application needs no display: --help works on a bare terminal.
    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(ProgramName));
    const CommandLineOutcome outcome = ReadCommandLine(QCoreApplication::arguments());
    std::fputs(outcome.output.c_str(), stdout);
    std::fputs(outcome.errors.c_str(), stderr);
    std::fflush(stdout);
    std::fflush(stderr);
    if (outcome.run) {
        return std::nullopt;
    }
    return outcome.status;
}

}  // namespace nimbrel
