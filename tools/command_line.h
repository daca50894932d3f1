// SPDX-License-Identifier: MIT
// Reading a command line as getopt_long reads long options: "--name value", "--name=value", and
// "--" ending the options. Hand-written so that every platform's build reads it the same way.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::tools {

struct OptionSpec {
    std::string_view name;  // without the leading "--"
    bool takesValue = false;
    char shortName = 0;  // a one-letter alias such as 'h' for "-h"; 0 for none
};

struct GivenOption {
    std::string_view name;  // the spec's name, whichever spelling was given
    std::string value;      // empty for an option without a value
};

struct CommandLine {
    std::vector<GivenOption> options;   // in the order given
    std::vector<std::string> operands;  // words that are not options, and all words after "--"
};

/// Reads `arguments` (argv without the program's name) against `specs`. nullopt with a message
/// in `error` for an unknown option, a missing value, or a value given to an option without one.
std::optional<CommandLine> ParseCommandLine(std::span<const char* const> arguments,
                                            std::span<const OptionSpec> specs, std::string& error);

}  // namespace nimbrel::tools
