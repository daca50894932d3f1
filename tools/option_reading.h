// SPDX-License-Identifier: MIT
// What both programs share in reading their command lines with CLI11.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/result.h"
#include "tools/console.h"

namespace nimbrel::tools {

/// A command-line reader for `program` whose help text starts with "Usage: ", lists the options
/// and ends with `footer`; -h/--help and --version are plain flags of `help` and `version`, so
/// that the program writes their text itself and notices when it cannot.
std::unique_ptr<CLI::App> commandLineReader(const std::string& program, const std::string& footer,
                                            bool& help, bool& version);

/// Reads `arguments` (the program's arguments after its name) into the options of `app`.
/// CLI11 tells of a command line that it cannot read by throwing: this is the one place where
/// that is caught, and it becomes an Error whose message is CLI11's reason.
Result<> readArguments(CLI::App& app, const std::vector<std::string>& arguments);

/// The start that both programs share: reads `arguments` into `app` and answers -h/--help and
/// --version (the flags given to commandLineReader). Returns the exit status when the program is
/// done (a usage error told, or the help or "`versionLine`" written), nullopt to go on.
std::optional<int> readOrAnswer(CLI::App& app, const std::vector<std::string>& arguments,
                                const ProgramMessages& program, const bool& help,
                                const bool& version, std::string_view versionLine);

/// `text` as a whole decimal number from `low` to `high`; nullopt for anything else.
std::optional<long long> wholeNumber(std::string_view text, long long low, long long high);

/// An Error for a value that an option refuses: "what: 'text'".
Error refusal(std::string_view what, std::string_view text);

}  // namespace nimbrel::tools
