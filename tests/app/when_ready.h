// Acts from inside whichever event loop is running: the main loop, a modal loop, or the event
// pass of a search.
#pragma once

#include <QDeadlineTimer>
#include <QTimer>
#include <functional>

namespace nimbrel::testing {

/// Runs `step` once, as soon as `ready` holds. If it never does, the test fails and every
/// running loop is ended, so that a broken start-up fails the test instead of hanging the run.
class WhenReady {
public:
    WhenReady(std::function<bool()> ready, std::function<void()> step);
    /// Fails the test when the step never ran.
    ~WhenReady();
    WhenReady(const WhenReady&) = delete;
    WhenReady& operator=(const WhenReady&) = delete;

    bool Ran() const { return ran_; }

private:
    void Poll();

    std::function<bool()> ready_;
    std::function<void()> step_;
    bool ran_ = false;
    QDeadlineTimer deadline_;
    QTimer poll_;
};

}  // namespace nimbrel::testing
