// SPDX-License-Identifier: MIT
// POSIX: the handler writes to a pipe that every wait polls, so that no wait outlasts a signal;
// without SA_RESTART a write blocked on a stalled reader returns as well.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "tools/stop_signal.h"

namespace nimbrel::tools {

namespace {

std::atomic<bool> stopAsked{false};
std::atomic<int> stopSignal{SIGINT};
int wakeUp[2] = {-1, -1};

extern "C" void onStopSignal(int number) {
    stopSignal.store(number);
    stopAsked.store(true);
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeUp[1], &byte, 1);
}

// Waits for `events` on standard output or a stop; the revents of standard output, or -1 on a
// stop.
int pollOutput(short events, int timeout) {
    std::array<pollfd, 2> entries{{{STDOUT_FILENO, events, 0}, {wakeUp[0], POLLIN, 0}}};
    const int ready = ::poll(entries.data(), entries.size(), timeout);
    if (stopRequested()) {
        return -1;
    }
    return ready > 0 ? entries[0].revents : 0;
}

}  // namespace

void installStopSignals() {
    if (wakeUp[0] < 0 && ::pipe(wakeUp) == 0) {
        for (const int end : wakeUp) {
            ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
            ::fcntl(end, F_SETFD, FD_CLOEXEC);
        }
    }
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    action.sa_flags = 0;  // no SA_RESTART: a blocked write returns with EINTR
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool stopRequested() {
    return stopAsked.load();
}

void endAsStopped() {
    const int number = stopSignal.load();
    std::signal(number, SIG_DFL);
    std::raise(number);
    std::_Exit(128 + number);  // only if the signal is blocked
}

WaitEnd waitForStopOrClosedOutput(std::chrono::milliseconds timeout) {
    // Asked for no event, poll still tells POLLERR (a pipe whose reader closed, on Linux) and
    // POLLHUP; a terminal or a file tells neither.
    const int revents = pollOutput(0, static_cast<int>(timeout.count()));
    if (revents < 0) {
        return WaitEnd::Stopped;
    }
    return (revents & (POLLERR | POLLHUP)) != 0 ? WaitEnd::OutputClosed : WaitEnd::TimedOut;
}

WriteEnd writeUnlessStopped(std::string_view text) {
    while (!text.empty()) {
        // The poll returns on a stop that came before the write could block; a stop during the
        // write interrupts it.
        if (pollOutput(POLLOUT, -1) < 0) {
            return {WriteEnd::Kind::Stopped, {}};
        }
        const ssize_t written = ::write(STDOUT_FILENO, text.data(), text.size());
        if (written >= 0) {
            text.remove_prefix(static_cast<std::size_t>(written));
        } else if (errno != EINTR && errno != EAGAIN) {
            return {WriteEnd::Kind::Failed, std::strerror(errno)};
        } else if (stopRequested()) {
            return {WriteEnd::Kind::Stopped, {}};
        }
    }
    return {};
}

}  // namespace nimbrel::tools
