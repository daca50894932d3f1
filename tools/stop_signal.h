// SPDX-License-Identifier: MIT
// Interrupt and termination requests for a program that runs until it is told to stop, and the
// waits and writes that such a request cuts short.
// stop_signal_posix.cpp and stop_signal_win.cpp define these functions, in this order.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace nimbrel::tools {

/// From now on, SIGINT and SIGTERM (Ctrl+C and the console's close on Windows) ask the program
/// to stop instead of ending it. A system call that one of them interrupts is not restarted.
void installStopSignals();

/// True once a stop was asked for.
bool stopRequested();

/// Ends the program as the stop signal that was asked for would have without the handler (on
/// POSIX by that signal, on Windows with the status of an interrupted console program).
[[noreturn]] void endAsStopped();

enum class WaitEnd { TimedOut, Stopped, OutputClosed };

/// Waits up to `timeout`, returning at once when a stop is asked for or when standard output's
/// reader has gone (a pipe whose reader closed; seen on POSIX only: on Windows that shows at
/// the next write).
WaitEnd waitForStopOrClosedOutput(std::chrono::milliseconds timeout);

struct WriteEnd {
    enum class Kind { Written, Stopped, Failed };
    Kind kind = Kind::Written;
    std::string reason;  // for Failed: the system's reason, such as "Broken pipe"
};

/// Writes `text` to standard output, giving up when a stop is asked for, even while the write
/// waits for a stalled reader; then part of the text may have been written.
WriteEnd writeUnlessStopped(std::string_view text);

}  // namespace nimbrel::tools
