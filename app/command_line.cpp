// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

#include "nimbrel_version.h"

namespace nimbrel {

namespace {

constexpr char ProgramName[] = "nimbrel-utility";

// The options that every Qt program takes (QGuiApplication, QApplication and the X11 platform
// read and remove them), with whether each takes a value. They are the application object's,
// not ours: the program must not refuse them.
struct QtOption {
    const char* name;
    bool takesValue;
};
constexpr QtOption QtOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"reverse", false},
    {"session", true},
    {"style", true},
    {"stylesheet", true},
    {"widgetcount", false},
    {"display", true},
    {"geometry", true},
    {"name", true},
    {"title", true},
    {"visual", true},
    {"nograb", false},
    {"dograb", false},
    {"sync", false},
    {"testability", false},
};

// The Qt option that `argument` names ("-style", "--style=fusion"); none for anything else.
const QtOption* qtOptionNamed(const QString& argument) {
    if (!argument.startsWith(QLatin1Char('-'))) {
        return nullptr;
    }
    QString name = argument;
    while (name.startsWith(QLatin1Char('-'))) {
        name.remove(0, 1);
    }
    name = name.section(QLatin1Char('='), 0, 0);
    for (const QtOption& candidate : QtOptions) {
        if (name == QLatin1String(candidate.name)) {
            return &candidate;
        }
    }
    return nullptr;
}

// `arguments` without Qt's own options and their values; from "--" on, everything is kept.
QStringList withoutQtOptions(const QStringList& arguments) {
    QStringList kept;
    for (qsizetype index = 0; index < arguments.size(); ++index) {
        const QString& argument = arguments[index];
        if (argument == QLatin1String("--")) {
            kept << arguments.mid(index);
            break;
        }
        const QtOption* option = index == 0 ? nullptr : qtOptionNamed(argument);
        if (option == nullptr) {
            kept << argument;
        } else if (option->takesValue && !argument.contains(QLatin1Char('='))) {
            ++index;  // its value
        }
    }
    return kept;
}

// The help text's list of the Qt options, for --help-all.
QString qtOptionsHelp() {
    QString text = QStringLiteral("\nQt options (read by the window system layer):\n");
    for (const QtOption& option : QtOptions) {
        text += QStringLiteral("  -%1%2\n")
                    .arg(QLatin1String(option.name),
                         option.takesValue ? QStringLiteral(" <value>") : QString());
    }
    return text;
}

std::string usageError(const QString& message) {
    return std::string(ProgramName) + ": " + message.toStdString() + "\nTry '" + ProgramName +
           " --help' for more information.\n";
}

}  // namespace

CommandLineOutcome readCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Finds the access points and bridges on the local network and lists them in a window."));
    // The help option brings --help-all with it; every option that the parser registers must
    // end the program here, before a window or a socket exists.
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    if (!parser.parse(withoutQtOptions(arguments))) {
        return {false, UsageExitStatus, {}, usageError(parser.errorText())};
    }
    if (parser.isSet(QStringLiteral("help-all"))) {
        return {false, 0, (parser.helpText() + qtOptionsHelp()).toStdString(), {}};
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
                usageError(QStringLiteral("Unexpected argument '%1'.")
                               .arg(parser.positionalArguments().front()))};
    }
    return {};
}

std::optional<int> handleCommandLine(int& argc, char** argv) {
    // A core application needs no display: --help works on a bare terminal.
    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(ProgramName));
    const CommandLineOutcome outcome = readCommandLine(QCoreApplication::arguments());
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
