// SPDX-License-Identifier: MIT
// Without a display the program says so plainly before Qt could abort.
#include <gtest/gtest.h>
#include <QProcessEnvironment>
#include <map>
#include <string>
#include <vector>

#include "app/display_check.h"
#include "tests/app/child_run.h"

namespace nimbrel::testing {
namespace {

std::optional<std::string> missingWith(std::map<std::string, std::string> variables) {
    return missingDisplayMessage([&](const char* name) {
        const auto found = variables.find(name);
        return found == variables.end() ? std::string() : found->second;
    });
}

/// The whole message for a missing display, with `reason` in its brackets.
std::string missingMessage(const std::string& reason) {
    return "nimbrel-utility: no graphical display was found (" + reason +
           "), and the program's window needs one.\n"
           "To list the devices on a terminal, run nimbrel-discover.\n";
}

TEST(MissingDisplay, NoDisplayNameAtAllIsMissing) {
    EXPECT_EQ(missingWith({}), missingMessage("neither DISPLAY nor WAYLAND_DISPLAY is set"));
}

TEST(MissingDisplay, NothingIsMissingWhereThePlatformFindsItsDisplayOrNeedsNone) {
    for (const std::map<std::string, std::string>& variables :
         std::vector<std::map<std::string, std::string>>{
             {{"DISPLAY", ":0"}},
             {{"WAYLAND_DISPLAY", "wayland-0"}},
             {{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":0"}},
             {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ":0"}},
             {{"QT_QPA_PLATFORM", "offscreen"}},
             {{"QT_QPA_PLATFORM", "vnc:size=800x600"}}}) {
        EXPECT_FALSE(missingWith(variables).has_value()) << variables.begin()->second;
    }
}

// A named platform needs its own display name. The message names the platform that was asked
// for and the variable that it lacks, not a variable that is set.
TEST(MissingDisplay, MessageNamesThePlatformAskedForAndTheVariableItLacks) {
    EXPECT_EQ(missingWith({{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "w"}}),
              missingMessage("QT_QPA_PLATFORM asks for xcb, but DISPLAY is not set"));
    EXPECT_EQ(missingWith({{"QT_QPA_PLATFORM", "xcb:nomitshm"}}),
              missingMessage("QT_QPA_PLATFORM asks for xcb, but DISPLAY is not set"));
    EXPECT_EQ(missingWith({{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", ":0"}}),
              missingMessage("QT_QPA_PLATFORM asks for wayland, but WAYLAND_DISPLAY is not set"));
    EXPECT_EQ(
        missingWith({{"QT_QPA_PLATFORM", "wayland-egl"}, {"DISPLAY", ":0"}}),
        missingMessage("QT_QPA_PLATFORM asks for wayland-egl, but WAYLAND_DISPLAY is not set"));
    EXPECT_EQ(missingWith({{"QT_QPA_PLATFORM", "xcb:nomitshm;wayland"}}),
              missingMessage("QT_QPA_PLATFORM asks for xcb or wayland, but neither DISPLAY "
                             "nor WAYLAND_DISPLAY is set"));
    EXPECT_EQ(missingWith({{"QT_QPA_PLATFORM", "wayland;wayland-egl"}}),
              missingMessage("QT_QPA_PLATFORM asks for wayland or wayland-egl, but "
                             "WAYLAND_DISPLAY is not set"));
}

TEST(MissingDisplayOfTheProgram, EndsWithStatusOneAndThePlainReasonOnStderr) {
    if (!inPrivateNetwork()) {
        GTEST_SKIP() << "runs the program, so only inside a private network namespace";
    }
    const ChildResult result = runUtility(QProcessEnvironment());

    EXPECT_TRUE(result.exitedNormally);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.standardError.toStdString(), missingWith({}).value_or(""));
}

}  // namespace
}  // namespace nimbrel::testing
