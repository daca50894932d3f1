// SPDX-License-Identifier: MIT
#include "tools/command_line.h"

#include <algorithm>

namespace nimbrel::tools {

namespace {

const OptionSpec* FindLong(std::span<const OptionSpec> specs, std::string_view name) {
    const auto found = std::ranges::find(specs, name, &OptionSpec::name);
    return found == specs.end() ? nullptr : &*found;
}

const OptionSpec* FindShort(std::span<const OptionSpec> specs, char letter) {
    const auto found = std::ranges::find(specs, letter, &OptionSpec::shortName);
    return letter == 0 || found == specs.end() ? nullptr : &*found;
}

}  // namespace

std::optional<CommandLine> ParseCommandLine(std::span<const char* const> arguments,
                                            std::span<const OptionSpec> specs, std::string& error) {
    CommandLine line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view word = arguments[i];
        if (word == "--") {
            line.operands.insert(line.operands.end(), arguments.begin() + static_cast<long>(i) + 1,
                                 arguments.end());
            break;
        }
        if (word.size() == 2 && word[0] == '-' && word[1] != '-') {
            const OptionSpec* spec = FindShort(specs, word[1]);
            if (spec == nullptr || spec->takesValue) {
                error = "unknown option '" + std::string(word) + "'";
                return std::nullopt;
            }
            line.options.push_back({spec->name, {}});
            continue;
        }
        if (!word.starts_with("--")) {
            if (word.size() > 1 && word[0] == '-') {
                error = "unknown option '" + std::string(word) + "'";
                return std::nullopt;
            }
            line.operands.emplace_back(word);  // "-" alone is an operand, as for getopt
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string_view name =
            word.substr(2, equals == std::string_view::npos ? std::string_view::npos : equals - 2);
        const OptionSpec* spec = FindLong(specs, name);
        if (spec == nullptr) {
            error = "unknown option '--" + std::string(name) + "'";
            return std::nullopt;
        }
        GivenOption given{spec->name, {}};
        if (equals != std::string_view::npos) {
            if (!spec->takesValue) {
                error = "option '--" + std::string(name) + "' takes no value";
                return std::nullopt;
            }
            given.value = word.substr(equals + 1);
        } else if (spec->takesValue) {
            if (i + 1 >= arguments.size()) {
                error = "option '--" + std::string(name) + "' needs a value";
                return std::nullopt;
            }
            given.value = arguments[++i];
        }
        line.options.push_back(std::move(given));
    }
    return line;
}

}  // namespace nimbrel::tools
