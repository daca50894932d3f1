// SPDX-License-Identifier: MIT
// Device texts are 8-bit and come from the network: these turn them into safe output.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nimbrel::tools {

/// A quoted JSON string of `bytes` read as Latin-1; control characters (C0, DEL and C1) are
/// written as \u00xx so that the output is safe to show on a terminal as well.
std::string JsonString(std::string_view bytes);

/// `bytes` read as Latin-1 for a terminal: control characters become \xHH, so that a device
/// cannot send escape sequences to the user's terminal.
std::string TerminalText(std::string_view bytes);

/// Text of this computer's own, such as an interface's name: UTF-8 as the system gives it (a
/// text that is not valid UTF-8 is read as Latin-1, as device text is). Control characters are
/// escaped as by JsonString and TerminalText.
std::string JsonSystemString(std::string_view text);
std::string TerminalSystemText(std::string_view text);

/// The number of terminal columns that a TerminalText result takes (one per character).
std::size_t DisplayWidth(std::string_view utf8);

}  // namespace nimbrel::tools
