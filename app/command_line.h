// SPDX-License-Identifier: MIT
// The program's command line: --help, --help-all and --version, nothing else, besides the
// options of Qt's own. It is read before anything needs a display or opens a socket.
#pragma once

#include <QStringList>
#include <optional>
#include <string>

namespace nimbrel {

/// Exit status after a command line that the program cannot use.
inline constexpr int UsageExitStatus = 2;

struct CommandLineOutcome {
    bool run = true;  // false: the program ends here with `status`
    int status = 0;
    std::string output;  // for stdout
    std::string errors;  // for stderr
};

/// Reads `arguments` (the program's name first); needs an application object of any kind.
CommandLineOutcome readCommandLine(const QStringList& arguments);

/// Reads this process's command line with a QCoreApplication of its own, prints what that
/// says, and returns the exit status when the program is to end here.
std::optional<int> handleCommandLine(int& argc, char** argv);

}  // namespace nimbrel
