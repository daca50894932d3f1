// SPDX-License-Identifier: MIT
#include "bench/gui/hold_probe.h"

#include <algorithm>
#include <utility>

namespace nimbrel::bench {

HoldProbe::HoldProbe() {
    clock_.start();
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.callOnTimeout([this] { tick(); });
    timer_.start(1);
}

void HoldProbe::tick() {
    const qint64 now = clock_.elapsed();
    if (measuring_ && last_ >= 0) {
        longest_ = std::max(longest_, now - last_);
    }
    last_ = now;
    if (done_) {
        measuring_ = false;
        std::exchange(done_, nullptr)();
    }
}

}  // namespace nimbrel::bench
