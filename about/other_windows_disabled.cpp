#include "about/other_windows_disabled.h"

#include <QApplication>

namespace nimbrel {

OtherWindowsDisabled::OtherWindowsDisabled(const QWidget* except) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != except && window->isVisible() && window->isEnabled()) {
            disabled_.push_back({window, window->focusWidget()});
        }
    }
    for (const Disabled& each : disabled_) {
        each.window->setEnabled(false);
    }
}

OtherWindowsDisabled::~OtherWindowsDisabled() {
    for (const Disabled& each : disabled_) {
        if (each.window == nullptr) {
            continue;
        }
        each.window->setEnabled(true);
        if (each.focus != nullptr && each.window->focusWidget() == nullptr) {
            // In a window that is not active this only marks the widget for its next activation.
            each.focus->setFocus(Qt::OtherFocusReason);
        }
    }
}

}  // namespace nimbrel
