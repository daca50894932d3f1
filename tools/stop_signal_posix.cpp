// SPDX-License-Identifier: MIT
// POSIX: the handler writes to a pipe that the wait polls, so that no wait outlasts a signal.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

#include "tools/stop_signal.h"

namespace nimbrel::tools {

namespace {

std::atomic<bool> stopRequested{false};
int wakeUp[2] = {-1, -1};

extern "C" void OnStopSignal(int) {
    stopRequested.store(true);
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeUp[1], &byte, 1);
}

}  // namespace

void InstallStopSignals() {
    if (wakeUp[0] < 0 && ::pipe(wakeUp) == 0) {
        for (const int end : wakeUp) {
            ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
            ::fcntl(end, F_SETFD, FD_CLOEXEC);
        }
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    // A write that the signal interrupts goes on (a poll still returns at once on Linux).
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool StopRequested() {
    return stopRequested.load();
}

bool WaitForStop(std::chrono::milliseconds timeout) {
    if (!StopRequested() && wakeUp[0] >= 0) {
        pollfd entry{wakeUp[0], POLLIN, 0};
        ::poll(&entry, 1, static_cast<int>(timeout.count()));
    }
    return StopRequested();
}

}  // namespace nimbrel::tools
