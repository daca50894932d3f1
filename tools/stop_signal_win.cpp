// SPDX-License-Identifier: MIT
// Windows: the console's control handler sets an event that the wait waits on.
#include <windows.h>

#include <atomic>

#include "tools/stop_signal.h"

namespace nimbrel::tools {

namespace {

std::atomic<bool> stopRequested{false};
HANDLE wakeUp = nullptr;

BOOL WINAPI OnControl(DWORD) {
    stopRequested.store(true);
    SetEvent(wakeUp);
    return TRUE;  // handled: the process is not ended
}

}  // namespace

void InstallStopSignals() {
    if (wakeUp == nullptr) {
        wakeUp = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    SetConsoleCtrlHandler(OnControl, TRUE);
}

bool StopRequested() {
    return stopRequested.load();
}

bool WaitForStop(std::chrono::milliseconds timeout) {
    if (!StopRequested() && wakeUp != nullptr) {
        WaitForSingleObject(wakeUp, static_cast<DWORD>(timeout.count()));
    }
    return StopRequested();
}

}  // namespace nimbrel::tools
