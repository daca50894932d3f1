// SPDX-License-Identifier: MIT
// The few console services that differ between platforms, and writing that notices failure.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::tools {

/// True when `stream` is a terminal (a console window on Windows).
bool isTerminal(std::FILE* stream);

/// Makes stdout and stderr pass bytes as they are (no CR inserted before LF) and, where the
/// console has a code page of its own, switches it to UTF-8; where a closed pipe would end the
/// program with a signal, makes writing to it fail instead.
void prepareConsole();

/// The program's arguments after its name, in UTF-8: on Windows read anew from the wide command
/// line (argv holds them in the ANSI code page, which cannot spell every interface's name);
/// elsewhere argv as it is.
std::vector<std::string> utf8Arguments(int argc, char** argv);

/// A program's own lines: messages on stderr after its name, and its output on stdout.
class ProgramMessages {
public:
    explicit constexpr ProgramMessages(std::string_view name) : name_(name) {}

    /// "NAME: message" and a line break on stderr; the message's control characters and bytes
    /// that are not UTF-8 are shown as \xHH (TerminalSystemText), so that it stays one line.
    void complain(std::string_view message) const;

    /// The message, then how to get help; returns the status of bad usage, 2.
    int usageError(std::string_view message) const;

    /// Writes `text` to stdout; returns 0, or 1 after "NAME: write error: <reason>".
    int writeOut(std::string_view text) const;

private:
    std::string_view name_;
};

/// Writes `text` and flushes the stream. nullopt when all of it was written; otherwise the
/// system's reason, such as "No space left on device", for "write error: <reason>".
std::optional<std::string> writeText(std::FILE* stream, std::string_view text);

}  // namespace nimbrel::tools
