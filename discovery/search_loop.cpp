// SPDX-License-Identifier: MIT
#include "discovery/search_loop.h"

#include <algorithm>

namespace nimbrel {

void runSearchToEnd(Search& search, const Clock& clock, std::chrono::milliseconds tickEvery,
                    const std::function<void()>& tick) {
    while (search.running()) {
        const auto untilDeadline = std::chrono::ceil<std::chrono::milliseconds>(
            search.deadline().value_or(clock.now()) - clock.now());
        const auto wait = std::clamp(untilDeadline, std::chrono::milliseconds{0}, tickEvery);
        if (platform::waitAnyReadable(search.handles(), static_cast<int>(wait.count()))) {
            search.socketReadable();
        } else {
            search.timePassed();
        }
        if (tick) {
            tick();
        }
    }
}

}  // namespace nimbrel
