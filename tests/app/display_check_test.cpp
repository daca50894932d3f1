// Without a display the program says so plainly before Qt could abort.
#include <gtest/gtest.h>
#include <QProcessEnvironment>
#include <map>

#include "app/display_check.h"
#include "tests/app/child_run.h"

namespace nimbrel::testing {
namespace {

std::optional<std::string> MissingWith(std::map<std::string, std::string> variables) {
    return MissingDisplayMessage([&](const char* name) {
        const auto found = variables.find(name);
        return found == variables.end() ? std::string() : found->second;
    });
}

TEST(MissingDisplay, NoDisplayNameAtAllIsMissing) {
    const std::optional<std::string> message = MissingWith({});
    ASSERT_TRUE(message.has_value());
    EXPECT_NE(message->find("graphical display"), std::string::npos);
    EXPECT_NE(message->find("nimbrel-discover"), std::string::npos);
}

TEST(MissingDisplay, EitherDisplayNameWillDoForTheDefaultPlatform) {
    EXPECT_FALSE(MissingWith({{"DISPLAY", ":0"}}).has_value());
    EXPECT_FALSE(MissingWith({{"WAYLAND_DISPLAY", "wayland-0"}}).has_value());
}

TEST(MissingDisplay, ANamedPlatformNeedsItsOwnDisplayName) {
    EXPECT_TRUE(MissingWith({{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "w"}}).has_value());
    EXPECT_TRUE(MissingWith({{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", ":0"}}).has_value());
    EXPECT_TRUE(MissingWith({{"QT_QPA_PLATFORM", "xcb:nomitshm"}}).has_value());
    EXPECT_FALSE(MissingWith({{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":0"}}).has_value());
    EXPECT_FALSE(MissingWith({{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ":0"}}).has_value());
}

TEST(MissingDisplay, PlatformsWithoutADisplayNameNeedNone) {
    EXPECT_FALSE(MissingWith({{"QT_QPA_PLATFORM", "offscreen"}}).has_value());
    EXPECT_FALSE(MissingWith({{"QT_QPA_PLATFORM", "vnc:size=800x600"}}).has_value());
}

TEST(MissingDisplayOfTheProgram, EndsWithStatusOneAndThePlainReasonOnStderr) {
    if (!InPrivateNetwork()) {
        GTEST_SKIP() << "runs the program, so only inside a private network namespace";
    }
    const ChildResult result = RunUtility(QProcessEnvironment());

    EXPECT_TRUE(result.exitedNormally);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.standardError.toStdString(), MissingWith({}).value_or(""));
}

}  // namespace
}  // namespace nimbrel::testing
