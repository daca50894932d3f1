// SPDX-License-Identifier: MIT
#include "tools/progress_line.h"

#include "tools/text_output.h"

namespace nimbrel::tools {

ProgressLine::ProgressLine(std::FILE* stream, bool enabled)
    : stream_(stream), enabled_(enabled), start_(std::chrono::steady_clock::now()) {}

ProgressLine::~ProgressLine() {
    erase();
}

void ProgressLine::update() {
    if (!enabled_) {
        return;
    }
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start_);
    std::string text = "Searching\u2026 " + std::to_string(seconds.count()) + " s";
    if (text == shown_) {
        return;
    }
    // The new text is never shorter than the old one, so plain overwriting leaves nothing.
    std::fputc('\r', stream_);
    std::fputs(text.c_str(), stream_);
    std::fflush(stream_);
    shown_ = std::move(text);
}

void ProgressLine::erase() {
    if (shown_.empty()) {
        return;
    }
    // Blanks rather than an erase sequence: older consoles do not know the sequences.
    const std::string blank(displayWidth(shown_), ' ');
    std::fprintf(stream_, "\r%s\r", blank.c_str());
    std::fflush(stream_);
    shown_.clear();
}

void ProgressLine::endLine() {
    if (shown_.empty()) {
        return;
    }
    std::fputc('\n', stream_);
    std::fflush(stream_);
    shown_.clear();
}

}  // namespace nimbrel::tools
