// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/command_line.h"

namespace nimbrel::tools {
namespace {

constexpr std::array<OptionSpec, 3> Specs{{
    {"json", false, 0},
    {"from", true, 0},
    {"help", false, 'h'},
}};

using Given = std::vector<std::pair<std::string, std::string>>;

std::optional<CommandLine> Parse(std::vector<const char*> words, std::string& error) {
    return ParseCommandLine(words, Specs, error);
}

Given Options(const CommandLine& line) {
    Given given;
    for (const GivenOption& option : line.options) {
        given.emplace_back(option.name, option.value);
    }
    return given;
}

TEST(ParseCommandLine, ReadsValuesJoinedByEqualsOrAsTheNextWord) {
    std::string error;
    const auto line =
        Parse({"--from", "10.0.0.1", "--json", "--from=10.0.0.2", "-h", "--from="}, error);
    ASSERT_TRUE(line.has_value()) << error;
    EXPECT_EQ(
        Options(*line),
        (Given{
            {"from", "10.0.0.1"}, {"json", ""}, {"from", "10.0.0.2"}, {"help", ""}, {"from", ""}}));
    EXPECT_TRUE(line->operands.empty());
}

TEST(ParseCommandLine, TakesTheNextWordAsAValueEvenWhenItLooksLikeAnOption) {
    std::string error;
    const auto line = Parse({"--from", "--json"}, error);
    ASSERT_TRUE(line.has_value()) << error;
    EXPECT_EQ(Options(*line), (Given{{"from", "--json"}}));
}

TEST(ParseCommandLine, EndsTheOptionsAtDoubleDash) {
    std::string error;
    const auto line = Parse({"--json", "--", "--from", "-h", "--"}, error);
    ASSERT_TRUE(line.has_value()) << error;
    EXPECT_EQ(Options(*line), (Given{{"json", ""}}));
    EXPECT_EQ(line->operands, (std::vector<std::string>{"--from", "-h", "--"}));

    const auto alone = Parse({"--"}, error);
    ASSERT_TRUE(alone.has_value());
    EXPECT_TRUE(alone->options.empty());
    EXPECT_TRUE(alone->operands.empty());
}

TEST(ParseCommandLine, KeepsWordsThatAreNoOptionsAsOperands) {
    std::string error;
    const auto line = Parse({"devices", "--json", "-"}, error);
    ASSERT_TRUE(line.has_value()) << error;
    EXPECT_EQ(Options(*line), (Given{{"json", ""}}));
    EXPECT_EQ(line->operands, (std::vector<std::string>{"devices", "-"}));
}

TEST(ParseCommandLine, RefusesWhatDoesNotFitTheOptions) {
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases{
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"--JSON"}, "unknown option '--JSON'"},
        {{"--bogus=1"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
        {{"-hx"}, "unknown option '-hx'"},
        {{"--json=yes"}, "option '--json' takes no value"},
        {{"--json="}, "option '--json' takes no value"},
        {{"--json", "--from"}, "option '--from' needs a value"},
    };
    for (const auto& [words, message] : cases) {
        SCOPED_TRACE(message);
        std::string error;
        EXPECT_FALSE(Parse(words, error).has_value());
        EXPECT_EQ(error, message);
    }
}

}  // namespace
}  // namespace nimbrel::tools
