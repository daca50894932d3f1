// SPDX-License-Identifier: MIT
#include "tools/option_reading.h"

#include <cctype>
#include <charconv>

namespace nimbrel::tools {

std::unique_ptr<CLI::App> commandLineReader(const std::string& program, const std::string& footer,
                                            bool& help, bool& version) {
    auto app = std::make_unique<CLI::App>("", program);
    app->set_help_flag();  // replaced by a flag of our own, written out by the program
    // Words that are no option are told by ReadArguments, one by one and in their order.
    app->allow_extras();
    app->footer(footer);
    app->get_formatter()->column_width(24);
    // "--help=yes" is bad usage, as for any option that takes no value.
    app->add_flag("-h,--help", help, "show this text and exit")->disable_flag_override();
    app->add_flag("--version", version, "show the version and exit")->disable_flag_override();
    return app;
}

Result<> readArguments(CLI::App& app, const std::vector<std::string>& arguments) {
    // CLI11 takes the words last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& refused) {
        std::string reason = refused.what();
        if (!reason.empty()) {
            // CLI11 writes a sentence; after "program: " it reads as the rest of one.
            reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
        }
        return ownError("EUsage", reason);
    }
    // CLI11 keeps "--" among the words left over; what follows it is never an option.
    bool afterOptions = false;
    for (const std::string& word : app.remaining()) {
        if (word == "--" && !afterOptions) {
            afterOptions = true;
            continue;
        }
        const bool option = !afterOptions && word.size() > 1 && word[0] == '-';
        return ownError("EUsage",
                        (option ? "unknown option '" : "unexpected argument '") + word + "'");
    }
    return {};
}

std::optional<int> readOrAnswer(CLI::App& app, const std::vector<std::string>& arguments,
                                const ProgramMessages& program, const bool& help,
                                const bool& version, std::string_view versionLine) {
    if (const Result<> read = readArguments(app, arguments); !read.ok()) {
        return program.usageError(read.error().message);
    }
    if (help) {
        return program.writeOut(app.help());
    }
    if (version) {
        return program.writeOut(std::string(versionLine) + "\n");
    }
    return std::nullopt;
}

std::optional<long long> wholeNumber(std::string_view text, long long low, long long high) {
    long long value = 0;
    const char* const end = text.data() + text.size();
    const auto [next, failure] = std::from_chars(text.data(), end, value);
    if (text.empty() || failure != std::errc{} || next != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

Error refusal(std::string_view what, std::string_view text) {
    return ownError("EUsage", std::string(what) + ": '" + std::string(text) + "'");
}

}  // namespace nimbrel::tools
