// SPDX-License-Identifier: MIT
// X11, Wayland and macOS: a utility-window frame would drop the taskbar entry on X11, so the
// window keeps a normal frame, reduced to the title and its close button.
#include "main/window_platform.h"

namespace nimbrel {

Qt::WindowFlags mainWindowFlags() {
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint;
}

}  // namespace nimbrel
