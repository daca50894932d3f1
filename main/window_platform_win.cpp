// Windows: the small tool-window title bar with its close button, not resizable.
#include "main/window_platform.h"

namespace nimbrel {

Qt::WindowFlags MainWindowFlags() {
    return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
}

}  // namespace nimbrel
