// SPDX-License-Identifier: MIT
// What the main window's frame looks like differs by windowing system; these choose it.
// window_platform_posix.cpp and window_platform_win.cpp define the same functions.
#pragma once

#include <Qt>

namespace nimbrel {

/// A fixed-size frame with the close button (and its system menu) only.
Qt::WindowFlags mainWindowFlags();

}  // namespace nimbrel
