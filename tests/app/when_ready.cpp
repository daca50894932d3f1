#include "tests/app/when_ready.h"

#include <gtest/gtest.h>
#include <QCoreApplication>

namespace nimbrel::testing {

namespace {
// Generous, because the machine is shared; a passing test never waits for it.
constexpr int PatienceMs = 20000;
}  // namespace

WhenReady::WhenReady(std::function<bool()> ready, std::function<void()> step)
    : ready_(std::move(ready)), step_(std::move(step)), deadline_(PatienceMs) {
    poll_.setInterval(1);
    QObject::connect(&poll_, &QTimer::timeout, &poll_, [this] { Poll(); });
    poll_.start();
}

WhenReady::~WhenReady() {
    if (!ran_) {
        ADD_FAILURE() << "a step of the test never ran";
    }
}

void WhenReady::Poll() {
    if (ready_()) {
        // Stopped first: the step may run loops of its own, in which this timer would fire
        // again.
        poll_.stop();
        ran_ = true;
        step_();
    } else if (deadline_.hasExpired()) {
        poll_.stop();
        ADD_FAILURE() << "the program never got to where a step of the test was waiting";
        QCoreApplication::exit(0);
    }
}

}  // namespace nimbrel::testing
