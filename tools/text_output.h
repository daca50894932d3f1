// SPDX-License-Identifier: MIT
// Device texts are 8-bit and come from the network, interface names from the system: these turn
// them into safe output.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nimbrel::tools {

/// `bytes` read as Latin-1 (each byte the character of the same code), in UTF-8.
std::string latin1ToUtf8(std::string_view bytes);

/// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or values past
/// U+10FFFF).
bool isUtf8(std::string_view text);

/// `bytes` read as Latin-1 for a terminal: control characters (C0, DEL and C1) become \xHH, so
/// that a device cannot send escape sequences to the user's terminal.
std::string terminalText(std::string_view bytes);

/// Text of this computer's own, such as an interface's name or a message holding one: UTF-8
/// as it is, except that each control character (C0, DEL, C1) and each byte that is not part
/// of well-formed UTF-8 becomes \xHH. Nothing is re-encoded: the bytes can be read back.
std::string terminalSystemText(std::string_view text);

/// The number of terminal columns that a TerminalText result takes (one per character).
std::size_t displayWidth(std::string_view utf8);

}  // namespace nimbrel::tools
