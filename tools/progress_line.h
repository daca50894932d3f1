// SPDX-License-Identifier: MIT
// A one-line "Searching… 3 s" on a terminal, rewritten in place and erased at the end.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

namespace nimbrel::tools {

class ProgressLine {
public:
    /// Writes nothing at all unless `enabled` (the stream is a terminal).
    ProgressLine(std::FILE* stream, bool enabled);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    /// Shows the whole seconds since construction; rewrites the line only when they change.
    void update();

    /// Blanks the line and puts the cursor back at its start.
    void erase();

    /// Ends the line as it stands with a line break, as after an interruption: what the shell
    /// writes next starts on a line of its own.
    void endLine();

private:
    std::FILE* stream_;
    bool enabled_;
    std::chrono::steady_clock::time_point start_;
    std::string shown_;
};

}  // namespace nimbrel::tools
