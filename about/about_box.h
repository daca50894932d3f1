// The About window: product name, version and copyright, closed by OK or the close box.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace nimbrel {

class BevelPanel;

/// Results of ShowModal, numbered as the rest of the program expects them.
enum ModalResult : int {
    ModalOk = 1,
    ModalCancel = 2,
};

/// Created once, hidden, and shown modally on each About command; it is never destroyed in
/// between, so every opening shows the same texts.
class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);

    /// Centres the window on its screen, focuses OK and runs it application-modally, the other
    /// windows disabled until it returns; returns ModalOk for the OK button and ModalCancel for
    /// the close box or CancelModal. Called again before an earlier showing has returned, it
    /// shows nothing and returns 0.
    int ShowModal();

    /// The result of the last showing: 0 before the first, then ModalOk or ModalCancel.
    int ModalResult() const { return modalResult_; }

    // Parts of the window, named as in the designer; the window owns them through Qt's parent.
    BevelPanel* Panel1;
    QLabel* Image1;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Copyright;
    QPushButton* OKButton;

public Q_SLOTS:
    /// Ends an open window with ModalCancel, as when the application is told to terminate while
    /// the window is up; does nothing while it is hidden.
    void CancelModal();

    /// Esc must not end the window: nothing in it answers Esc, so rejecting does nothing.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CentreOnScreen();

    int modalResult_ = 0;
    bool showing_ = false;
};

}  // namespace nimbrel
