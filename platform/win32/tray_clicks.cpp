// The tray icon's left clicks. A left click opens the menu and a double-click
// the settings dialog; but a menu opened at the first click of a
// double-click would take the second click for itself, and the double-click
// would never arrive. So a left click is held back for the system's
// double-click time and dropped when the double-click follows, and the
// release that ends a double-click opens nothing. This departs from the
// documented handling, which opens the menu at the release at once. A right
// click in that time opens its own menu and drops the held click, as the
// Linux build does.
#include <windows.h>

#include <atomic>

#include "platform/platform.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_hooks.h"

namespace vantrel::win32 {

namespace {

// A timer id of the platform's own, apart from the program's timers.
constexpr UINT_PTR kHeldClickTimer = 0xF001;

std::atomic<UINT> trayMessage{0};  // the icon's notification message, from its add

// User-interface thread only.
bool clickHeld = false;
WPARAM heldIconId = 0;
bool endingDoubleClick = false;

}  // namespace

void remember_tray_message(UINT message) { trayMessage = message; }

bool filter_tray_click(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                       platform::WindowProc proc) {
    if (message == WM_TIMER && wparam == kHeldClickTimer) {
        KillTimer(window, kHeldClickTimer);
        if (clickHeld) {
            clickHeld = false;
            proc(win32::window(window), trayMessage, heldIconId, WM_LBUTTONUP);
        }
        return true;
    }
    if (message != trayMessage || message == 0) return false;
    const auto mouse = static_cast<UINT>(lparam);
    if (mouse == WM_LBUTTONUP) {
        if (endingDoubleClick) {
            endingDoubleClick = false;
        } else {
            clickHeld = true;
            heldIconId = wparam;
            SetTimer(window, kHeldClickTimer, GetDoubleClickTime(), nullptr);
        }
        return true;
    }
    if (mouse == WM_LBUTTONDBLCLK || mouse == WM_RBUTTONUP) {
        KillTimer(window, kHeldClickTimer);
        clickHeld = false;
        endingDoubleClick = mouse == WM_LBUTTONDBLCLK;
    }
    return false;
}

}  // namespace vantrel::win32
