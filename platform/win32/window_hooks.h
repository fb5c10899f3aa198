// What the main window's message handler and the entry point take from the
// timer, tray-click and worker services of this folder.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace vantrel::win32 {

// Carries out a timer request posted to the window by another thread; false
// for any other message.
bool handle_timer_request(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The tray icon's notification message, taken from its add request.
void remember_tray_message(UINT message);

// Holds back a left click on the tray icon for the double-click time, and
// delivers it to proc then unless a double-click came; true when the
// message was taken here.
bool filter_tray_click(HWND window, UINT message, WPARAM wparam, LPARAM lparam, platform::WindowProc proc);

// Drops every icon request from now on, and removes an icon that the window
// may still have; called when the main window is destroyed.
void drop_icon_requests(HWND window);

// Waits for the last worker thread to end.
void join_worker();

}  // namespace vantrel::win32
