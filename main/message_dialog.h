// Every modal message box of the program goes through here, so that tests can answer it.
// On a platform whose screen nobody sees (offscreen, minimal) a box is not run, since nobody
// could ever answer it and the program would wait for ever; its caption and text go to stderr.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

namespace nimbrel {

/// The caption of the program's taskbar entry and of its own message boxes.
inline constexpr char ApplicationTitle[] = "NIMBREL AP/BRIDGE/CloudAP";

class MessageDialog {
public:
    /// Receives a box fully set up instead of it being run; the hook answers it.
    using TestHook = std::function<void(QMessageBox&)>;

    /// The failure report: a stop icon and one OK button.
    static void ShowFailure(const QString& text);

    /// A plain notice: no icon and one OK button.
    static void ShowNotice(const QString& text);

    /// The report of a failure that ends the program: captioned "Application Error", a stop
    /// icon and one OK button, owned by no window.
    static void ShowApplicationError(const QString& text);

    /// Installs `hook` for the boxes that follow (an empty hook restores running them);
    /// returns the hook it replaces.
    static TestHook SetTestHook(TestHook hook);

private:
    enum class Unseen { WriteToStderr, Drop };
    static void Show(QMessageBox::Icon icon, const QString& title, const QString& text,
                     Unseen unseen);
};

}  // namespace nimbrel
