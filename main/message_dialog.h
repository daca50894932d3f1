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

    /// The failure report: a stop icon and one OK button. It is not modal, so that the menus
    /// stay usable while it is open. `closed` runs once the user has closed it. Returns the box
    /// while it is open (owned by itself: it is deleted once closed), or nullptr when it has
    /// been closed already (by a test hook or with nobody to see the screen).
    static QMessageBox* showFailure(const QString& text, std::function<void()> closed = {});

    /// A plain notice: no icon and one OK button, application-modal.
    static void showNotice(const QString& text, std::function<void()> closed = {});

    /// The report of a failure that ends the program before its event loop runs: captioned
    /// "Application Error", a stop icon and one OK button; returns once it is dismissed.
    static void showApplicationError(const QString& text);

    /// Installs `hook` for the boxes that follow (an empty hook restores opening them);
    /// returns the hook it replaces.
    static TestHook setTestHook(TestHook hook);

    /// For tests: after the hook has looked at a failure box, it is shown and left open (even
    /// offscreen) for the test to close, rather than answered at once.
    static void setTestLeavesFailuresOpen(bool open);
};

}  // namespace nimbrel
