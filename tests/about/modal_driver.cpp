#include "modal_driver.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>

namespace nimbrel::testing {

namespace {
// Generous, because the machine is shared; a passing test never waits for it.
constexpr int kPatienceMs = 10000;
// A result no window gives by itself, for a loop that the driver had to end.
constexpr int kAbandoned = -100;
}  // namespace

ModalDriver::ModalDriver(QDialog& dialog, std::function<void()> step)
    : dialog_(dialog), step_(std::move(step)), deadline_(kPatienceMs) {
    poll_.setInterval(1);
    QObject::connect(&poll_, &QTimer::timeout, &poll_, [this] { Poll(); });
    poll_.start();
}

void ModalDriver::Poll() {
    if (!stepRan_) {
        if (dialog_.isVisible() && dialog_.isActiveWindow()) {
            stepRan_ = true;
            deadline_.setRemainingTime(kPatienceMs);
            step_();
        } else if (deadline_.hasExpired()) {
            poll_.stop();
            ADD_FAILURE() << "the dialog never opened";
            dialog_.done(kAbandoned);
        }
        return;
    }
    if (!dialog_.isVisible()) {
        poll_.stop();
    } else if (deadline_.hasExpired()) {
        poll_.stop();
        ADD_FAILURE() << "the dialog is still open after the step";
        dialog_.done(kAbandoned);
    }
}

}  // namespace nimbrel::testing
