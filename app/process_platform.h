// SPDX-License-Identifier: MIT
// What the program learns from the operating system about its own process.
// process_platform_posix.cpp and process_platform_win.cpp define the same functions.
#pragma once

#include <cstdint>
#include <string>

namespace nimbrel {

/// Show commands as the launcher passes them in the process's start-up information.
inline constexpr int ShowMaximized = 3;
inline constexpr int ShowMinimizedNoActive = 7;
inline constexpr int ShowDefault = 10;

/// The show command that the launcher passed; ShowDefault when it passed none.
int startupShowCommand();

struct CodeLocation {
    std::string module;  // the file name without its directory, in the local 8-bit encoding
    std::uint32_t offset = 0;
};

/// The module (program or library) whose code holds `address`, and the address counted from
/// the start of that module; the program itself at offset 0 when the address is unknown.
CodeLocation locateCode(const void* address);

}  // namespace nimbrel
