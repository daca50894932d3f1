// The few console services that differ between platforms.
#pragma once

#include <cstdio>

namespace nimbrel::tools {

/// True when `stream` is a terminal (a console window on Windows).
bool IsTerminal(std::FILE* stream);

/// Makes stdout and stderr pass bytes as they are (no CR inserted before LF) and, where the
/// console has a code page of its own, switches it to UTF-8.
void PrepareConsole();

}  // namespace nimbrel::tools
