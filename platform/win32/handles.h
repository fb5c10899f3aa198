// The seam's opaque handles are the system's handles.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace vantrel::win32 {

inline HWND hwnd(platform::WindowHandle window) { return reinterpret_cast<HWND>(window); }
inline platform::WindowHandle window(HWND handle) { return reinterpret_cast<platform::WindowHandle>(handle); }
inline HINSTANCE hinstance(platform::InstanceHandle instance) { return reinterpret_cast<HINSTANCE>(instance); }
inline HMENU hmenu(platform::MenuHandle menu) { return reinterpret_cast<HMENU>(menu); }

// Messages of the program's own between its threads, in the range the
// system leaves to applications.
// Arms (wparam: the id, lparam: the delay in ms) a timer of the window that
// receives it, for a thread that does not own the window.
inline constexpr UINT kMsgArmTimer = WM_APP + 100;
// Disarms the timer of the id in wparam, likewise.
inline constexpr UINT kMsgDisarmTimer = WM_APP + 101;

// Carries out the program's own messages above; false for any other.
bool handle_thread_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The tray icon's notification message, taken from its add request.
void remember_tray_message(UINT message);

// Holds back a left click on the tray icon for the double-click time, and
// delivers it to proc then unless a double-click came; true when the
// message was taken here.
bool filter_tray_click(HWND window, UINT message, WPARAM wparam, LPARAM lparam, platform::WindowProc proc);

// Waits for the last worker thread to end.
void join_worker();

}  // namespace vantrel::win32
