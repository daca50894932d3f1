// SPDX-License-Identifier: MIT
// Every message box of the program goes through here, so that tests can answer it. Boxes open
// without a loop of their own; what follows a box runs once it has been closed. On a platform
// whose screen nobody sees (offscreen, minimal) a box is not opened, since nobody could answer
// it; its caption and text go to stderr and it counts as closed at once.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

namespace nimbrel {

/// The caption of the program's taskbar entry and of its own message boxes.
inline constexpr char ApplicationTitle[] = "NIMBREL AP/BRIDGE/CloudAP";

class MessageDialog {
public:
    /// Looks at a box, fully set up, instead of it being opened; the box then counts as
    /// answered with OK.
    using TestHook = std::function<void(QMessageBox&)>;

    /// The failure report: a stop icon and one OK button, application-modal. `closed` runs
    /// once the user has closed it.
    static void showFailure(const QString& text, std::function<void()> closed = {});

    /// A plain notice: no icon and one OK button, application-modal.
    static void showNotice(const QString& text, std::function<void()> closed = {});

    /// The report of a failure that ends the program before its event loop runs: captioned
    /// "Application Error", a stop icon and one OK button; returns once it is dismissed.
    static void showApplicationError(const QString& text);

    /// Installs `hook` for the boxes that follow (an empty hook restores opening them);
    /// returns the hook it replaces.
    static TestHook setTestHook(TestHook hook);
};

}  // namespace nimbrel
