// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "tools/console.h"
#include "tools/progress_line.h"
#include "tools/text_output.h"

// The line ended by Ctrl+C is tested on a real terminal by watch_and_interrupt.sh, and the
// reasons of failed writes through the programs (programs_test.cpp).
namespace nimbrel::tools {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

/// A stream to write on and read back everything written so far.
class Capture {
public:
    Capture() : file_(std::tmpfile()) {}

    std::FILE* stream() const { return file_.get(); }

    std::string written() const {
        std::fflush(file_.get());
        std::string text;
        std::rewind(file_.get());
        for (int c = std::fgetc(file_.get()); c != EOF; c = std::fgetc(file_.get())) {
            text.push_back(static_cast<char>(c));
        }
        std::fseek(file_.get(), 0, SEEK_END);
        return text;
    }

private:
    File file_;
};

TEST(ProgressLine, WritesNothingWhenNotATerminal) {
    const Capture capture;
    ASSERT_NE(capture.stream(), nullptr);
    {
        ProgressLine progress(capture.stream(), false);
        progress.update();
        progress.update();
        progress.erase();
        progress.update();
    }
    EXPECT_EQ(capture.written(), "");
}

TEST(ProgressLine, ShowsTheSecondsAndBlanksExactlyThatLineAgain) {
    const Capture capture;
    ASSERT_NE(capture.stream(), nullptr);
    ProgressLine progress(capture.stream(), true);
    progress.erase();  // nothing shown yet, nothing to blank
    EXPECT_EQ(capture.written(), "");

    progress.update();
    const std::string shown = capture.written();
    const std::string prefix = "\rSearching\u2026 ";
    ASSERT_EQ(shown.substr(0, prefix.size()), prefix) << shown;
    ASSERT_GE(shown.size(), prefix.size() + 3);
    EXPECT_EQ(shown.substr(shown.size() - 2), " s");
    const std::string seconds = shown.substr(prefix.size(), shown.size() - prefix.size() - 2);
    EXPECT_EQ(seconds.find_first_not_of("0123456789"), std::string::npos) << seconds;

    progress.erase();
    const std::string line = shown.substr(1);
    EXPECT_EQ(capture.written(), shown + "\r" + std::string(displayWidth(line), ' ') + "\r");

    progress.erase();  // already blank
    EXPECT_EQ(capture.written(), shown + "\r" + std::string(displayWidth(line), ' ') + "\r");
}

TEST(ProgressLine, EndingItBlanksALineStillShown) {
    const Capture capture;
    ASSERT_NE(capture.stream(), nullptr);
    std::string shown;
    {
        ProgressLine progress(capture.stream(), true);
        progress.update();
        shown = capture.written();
    }
    const std::string written = capture.written();
    ASSERT_GT(written.size(), shown.size());
    EXPECT_EQ(written.substr(shown.size()),
              "\r" + std::string(displayWidth(shown.substr(1)), ' ') + "\r");
}

TEST(IsTerminal, TellsTerminalsFromFilesAndPipes) {
    const Capture capture;
    EXPECT_FALSE(isTerminal(capture.stream()));

    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const File reading(fdopen(ends[0], "r"));
    const File writing(fdopen(ends[1], "w"));
    EXPECT_FALSE(isTerminal(reading.get()));
    EXPECT_FALSE(isTerminal(writing.get()));

    const int controller = posix_openpt(O_RDWR | O_NOCTTY);
    if (controller < 0) {
        GTEST_SKIP() << "no pseudo-terminal to be had here";
    }
    ASSERT_EQ(grantpt(controller), 0);
    ASSERT_EQ(unlockpt(controller), 0);
    const char* name = ptsname(controller);
    ASSERT_NE(name, nullptr);
    const File terminal(fdopen(open(name, O_WRONLY | O_NOCTTY), "w"));
    ASSERT_NE(terminal, nullptr);
    EXPECT_TRUE(isTerminal(terminal.get()));
    close(controller);
}

}  // namespace
}  // namespace nimbrel::tools
