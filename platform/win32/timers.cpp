// Window timers. A timer belongs to the thread that owns its window, so a
// request from another thread (the worker arming the balloon icon's timer)
// is posted to the window and carried out there, in order with its other
// messages.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_hooks.h"

namespace vantrel::win32 {

namespace {

// Requests of the program's own, posted by a thread that does not own the
// window, in the range the system leaves to applications: arm (wparam: the
// id, lparam: the delay in ms) and disarm (wparam: the id).
constexpr UINT kMsgArmTimer = WM_APP + 100;
constexpr UINT kMsgDisarmTimer = WM_APP + 101;

bool owns(HWND window) { return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId(); }

}  // namespace

bool handle_timer_request(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kMsgArmTimer) {
        SetTimer(window, wparam, static_cast<UINT>(lparam), nullptr);
        return true;
    }
    if (message == kMsgDisarmTimer) {
        KillTimer(window, wparam);
        return true;
    }
    return false;
}

}  // namespace vantrel::win32

namespace vantrel::platform {

void set_timer(WindowHandle window, uintptr_t id, uint32_t ms) {
    const HWND handle = win32::hwnd(window);
    if (win32::owns(handle)) {
        SetTimer(handle, id, ms, nullptr);
    } else {
        PostMessageA(handle, win32::kMsgArmTimer, id, static_cast<LPARAM>(ms));
    }
}

void kill_timer(WindowHandle window, uintptr_t id) {
    const HWND handle = win32::hwnd(window);
    if (win32::owns(handle)) {
        KillTimer(handle, id);
    } else {
        PostMessageA(handle, win32::kMsgDisarmTimer, id, 0);
    }
}

}  // namespace vantrel::platform
