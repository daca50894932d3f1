// SPDX-License-Identifier: MIT
#include "discovery/search_loop.h"

#include <algorithm>

namespace nimbrel {

void RunSearchToEnd(Search& search, const Clock& clock, std::chrono::milliseconds tickEvery,
                    const std::function<void()>& tick) {
    while (search.Running()) {
        const auto untilDeadline = std::chrono::ceil<std::chrono::milliseconds>(
            search.Deadline().value_or(clock.Now()) - clock.Now());
        const auto wait = std::clamp(untilDeadline, std::chrono::milliseconds{0}, tickEvery);
        if (platform::WaitAnyReadable(search.Handles(), static_cast<int>(wait.count()))) {
            search.SocketReadable();
        } else {
            search.TimePassed();
        }
        if (tick) {
            tick();
        }
    }
}

}  // namespace nimbrel
