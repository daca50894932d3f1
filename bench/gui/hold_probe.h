// SPDX-License-Identifier: MIT
// How long the event loop is held: a 1 ms timer notes the time of each of its ticks, and the
// longest gap between two ticks, while measuring, is the longest hold (it includes up to 1 ms
// of the timer's own interval).
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <functional>

namespace nimbrel::bench {

class HoldProbe {
public:
    HoldProbe();

    /// Counts the gaps from the last tick on.
    void begin() { measuring_ = true; }
    /// Stops counting after the next tick, whose gap holds what runs now; then calls `done`.
    void endAfterNextTick(std::function<void()> done) { done_ = std::move(done); }

    qint64 longestMs() const { return longest_; }

private:
    void tick();

    QElapsedTimer clock_;
    QTimer timer_;
    qint64 last_ = -1;
    qint64 longest_ = 0;
    bool measuring_ = false;
    std::function<void()> done_;
};

}  // namespace nimbrel::bench
