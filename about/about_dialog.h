// SPDX-License-Identifier: MIT
// The About window: product name, version and copyright, closed by OK or the close box.
#pragma once

#include <QDialog>

class QPushButton;

namespace nimbrel {

/// Results with which the window is finished.
enum AboutResult : int {
    AboutOk = 1,
    AboutClosed = 2,
};

/// Created once, hidden, and opened on each About command; it is never destroyed in between,
/// so every opening shows the same texts. Application-modal: while it is open the other windows
/// take no input. It opens without a loop of its own and reports its end by `finished`.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);

    /// Centres the window on its screen, focuses OK and shows it; brings it to the front when it
    /// is open already.
    void openCentred();

    QPushButton* okButton() const { return okButton_; }

    /// Esc must not end the window: nothing in it answers Esc, so rejecting does nothing.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void centreOnScreen();

    QPushButton* okButton_ = nullptr;
};

}  // namespace nimbrel
