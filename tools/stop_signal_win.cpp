// SPDX-License-Identifier: MIT
// Windows: the console's control handler sets an event that the wait waits on.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <optional>
#include <string>

#include "tools/console.h"
#include "tools/stop_signal.h"

namespace nimbrel::tools {

namespace {

std::atomic<bool> stopAsked{false};
HANDLE wakeUp = nullptr;
HANDLE mainThread = nullptr;

BOOL WINAPI onControl(DWORD) {
    stopAsked.store(true);
    SetEvent(wakeUp);
    // The handler runs on a thread of its own: a write of the main thread that waits for a
    // stalled reader is cancelled from here, and fails with ERROR_OPERATION_ABORTED.
    if (mainThread != nullptr) {
        CancelSynchronousIo(mainThread);
    }
    return TRUE;  // handled: the process is not ended
}

}  // namespace

void installStopSignals() {
    if (wakeUp == nullptr) {
        wakeUp = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &mainThread,
                        0, FALSE, DUPLICATE_SAME_ACCESS);
    }
    SetConsoleCtrlHandler(onControl, TRUE);
}

bool stopRequested() {
    return stopAsked.load();
}

void endAsStopped() {
    // The status that Windows gives a console program ended by Ctrl+C.
    ExitProcess(static_cast<UINT>(0xC000013AL));
}

WaitEnd waitForStopOrClosedOutput(std::chrono::milliseconds timeout) {
    // An anonymous pipe tells its writer nothing of a reader that closed until the next write
    // fails (ERROR_NO_DATA): the nearest that Windows offers is the write error of the next
    // change, so only the stop is waited for here.
    if (!stopRequested() && wakeUp != nullptr) {
        WaitForSingleObject(wakeUp, static_cast<DWORD>(timeout.count()));
    }
    return stopRequested() ? WaitEnd::Stopped : WaitEnd::TimedOut;
}

WriteEnd writeUnlessStopped(std::string_view text) {
    if (stopRequested()) {
        return {WriteEnd::Kind::Stopped, {}};
    }
    std::optional<std::string> reason = writeText(stdout, text);
    if (stopRequested()) {
        return {WriteEnd::Kind::Stopped, {}};  // the handler cancelled the write
    }
    if (reason) {
        return {WriteEnd::Kind::Failed, std::move(*reason)};
    }
    return {};
}

}  // namespace nimbrel::tools
