// The tray menu: a popup menu of the system's.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace vantrel::platform {

MenuHandle create_popup_menu() { return reinterpret_cast<MenuHandle>(CreatePopupMenu()); }

void append_menu(MenuHandle menu, uint32_t flags, uint32_t id, const char* text) {
    AppendMenuA(win32::hmenu(menu), flags, id, text);
}

Point cursor_pos() {
    POINT at{};
    GetCursorPos(&at);
    return {at.x, at.y};
}

void track_popup_menu(MenuHandle menu, int x, int y, WindowHandle owner) {
    // A popup menu closes on a click elsewhere only while its owner is the
    // foreground window, and the owner must see one more message after it
    // for the menu to close properly the next time: the system's own rule
    // for menus of notification-area icons. Both calls depart from the
    // documented menu, which tracks the menu and nothing more.
    const HWND window = win32::hwnd(owner);
    SetForegroundWindow(window);
    TrackPopupMenu(win32::hmenu(menu), 0, x, y, 0, window, nullptr);
    PostMessageA(window, WM_NULL, 0, 0);
}

void destroy_menu(MenuHandle menu) { DestroyMenu(win32::hmenu(menu)); }

}  // namespace vantrel::platform
