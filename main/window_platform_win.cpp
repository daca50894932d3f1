// SPDX-License-Identifier: MIT
// Windows: a normal frame, fixed in size, with the close button only. A tool-window frame
// would cost the program its taskbar entry.
#include "main/window_platform.h"

namespace nimbrel {

Qt::WindowFlags mainWindowFlags() {
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
}

}  // namespace nimbrel
