// SPDX-License-Identifier: MIT
// The options that a man page names, read from its roff source: what the programs' tests hold
// against the options that each program takes.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>

namespace nimbrel::testing {

/// The options ("-h", "--help-all") that the roff requests (".B", ".BR" ...) of the sections
/// `sections` (".SH SYNOPSIS") of the man page at `path` name; roff spells a dash "\-".
inline std::set<std::string> manPageOptions(const std::string& path,
                                            const std::set<std::string>& sections) {
    std::ifstream page(path);
    EXPECT_TRUE(page.is_open()) << path;
    const std::regex dash(R"(\\-)");
    const std::regex option(R"((?:^|\s)(--?[a-z][a-z-]*))");
    std::set<std::string> options;
    bool inSection = false;
    for (std::string line; std::getline(page, line);) {
        if (line.starts_with(".SH")) {
            inSection = sections.contains(line);
        } else if (inSection && line.starts_with('.')) {
            const std::string plain = std::regex_replace(line, dash, "-");
            for (std::sregex_iterator match(plain.begin(), plain.end(), option), end; match != end;
                 ++match) {
                options.insert((*match)[1]);
            }
        }
    }
    return options;
}

}  // namespace nimbrel::testing
