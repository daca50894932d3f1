// SPDX-License-Identifier: MIT
// Interrupt and termination requests for a program that runs until it is told to stop.
// stop_signal_posix.cpp and stop_signal_win.cpp define these functions, in this order.
#pragma once

#include <chrono>

namespace nimbrel::tools {

/// From now on, SIGINT and SIGTERM (Ctrl+C and the console's close on Windows) ask the program
/// to stop instead of ending it.
void InstallStopSignals();

/// True once a stop was asked for.
bool StopRequested();

/// Waits up to `timeout`, returning at once when a stop is asked for; true when it was.
bool WaitForStop(std::chrono::milliseconds timeout);

}  // namespace nimbrel::tools
