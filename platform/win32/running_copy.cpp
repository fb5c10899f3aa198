#include "platform/win32/running_copy.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "resources/resource_ids.h"

namespace vantrel::win32 {

namespace {

// Named in the session's own namespace: each logged-on user runs a copy.
constexpr char kMutexName[] = "Local\\org.vantrel.Vantrel";

// How long a start waits for the running copy to make its window, or to
// finish ending, before it gives up.
constexpr int kTries = 200;
constexpr DWORD kTryMs = 50;

}  // namespace

// The copy that runs owns the mutex for its whole life; ownership is the
// atomic step, so of two starts at once exactly one runs. A later start
// waits for either the mutex (the running copy has just ended) or the
// running copy's hidden window, to which it posts the settings command (a
// post, not a send: the dialog is modal and this start must not wait for
// it). It also lets the running copy bring the dialog to the front, which
// Windows refuses to a process that is not in the foreground.
bool hand_over_to_running_copy() {
    // Never closed: the system releases it when the process ends.
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);
    if (mutex == nullptr) return false;
    for (int i = 0; i < kTries; ++i) {
        const DWORD wait = WaitForSingleObject(mutex, kTryMs);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) return false;
        const HWND running = FindWindowA(kMainWindowClass, nullptr);
        if (running == nullptr) continue;
        DWORD process = 0;
        GetWindowThreadProcessId(running, &process);
        AllowSetForegroundWindow(process);
        PostMessageA(running, WM_COMMAND, CMD_SETTINGS, 0);
        return true;
    }
    // A copy that neither answers nor ends keeps the settings file to itself.
    return true;
}

}  // namespace vantrel::win32
