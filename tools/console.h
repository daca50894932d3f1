// SPDX-License-Identifier: MIT
// The few console services that differ between platforms, and writing that notices failure.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::tools {

/// True when `stream` is a terminal (a console window on Windows).
bool IsTerminal(std::FILE* stream);

/// Makes stdout and stderr pass bytes as they are (no CR inserted before LF) and, where the
/// console has a code page of its own, switches it to UTF-8.
void PrepareConsole();

/// Writes `text` and flushes the stream. nullopt when all of it was written; otherwise the
/// system's reason, such as "No space left on device", for "write error: <reason>".
std::optional<std::string> WriteText(std::FILE* stream, std::string_view text);

}  // namespace nimbrel::tools
