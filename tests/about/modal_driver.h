// Acts inside a dialog's modal loop, which a test cannot reach from the outside.
#pragma once

#include <functional>

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

class QDialog;

namespace nimbrel::testing {

/// Runs a step once the dialog is open and active, from inside its modal loop. A dialog that
/// never opens, or that is still open long after the step, fails the test and has its loop
/// ended, so a broken window fails instead of hanging the run.
class ModalDriver {
public:
    ModalDriver(QDialog& dialog, std::function<void()> step);

    bool StepRan() const { return stepRan_; }

private:
    void Poll();

    QDialog& dialog_;
    std::function<void()> step_;
    bool stepRan_ = false;
    QDeadlineTimer deadline_;
    QTimer poll_;
};

}  // namespace nimbrel::testing
