// The tray icon's picture: icon 105 at the small-icon size for the DPI of
// the notification area (16 pixels at 96 DPI, 20 at 120, 24 at 144, 32 at
// 192), which the icon resource holds, so the shell shows it unscaled.
// Departs from the documented rule (icon 105 loaded with LoadIconA) because
// LoadIconA gives the large-icon size, 32 pixels at 96 DPI, which the shell
// shrinks at 100 % scaling and blows up at 150 % and 200 %.
#include <windows.h>

#include <map>
#include <mutex>
#include <utility>

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace vantrel::platform {

namespace {

// The DPI the taskbar is drawn at: its window's where the system tells a
// window's DPI (Windows 10 version 1607 and later), else the system DPI.
// Read anew at each load, so that an icon added again after the shell
// restarts (TaskbarCreated, as after a change of scaling) has the new size.
UINT notification_area_dpi() {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    const auto dpi_for_window = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    const HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (dpi_for_window != nullptr && taskbar != nullptr) {
        const UINT dpi = dpi_for_window(taskbar);
        if (dpi != 0) return dpi;
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// The small-icon size at a DPI, as the system scales it.
int small_icon_size(UINT dpi) { return MulDiv(16, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI); }

}  // namespace

// Each size is loaded once and kept for the run: adds come at every
// temporary icon, and a DPI changes seldom, so the handles stay few.
IconHandle load_icon(InstanceHandle instance, int resource) {
    static std::mutex lock;
    static std::map<std::pair<int, int>, HICON> loaded;
    const int size = small_icon_size(notification_area_dpi());
    std::lock_guard<std::mutex> guard(lock);
    HICON& icon = loaded[{resource, size}];
    if (icon == nullptr)
        icon = static_cast<HICON>(LoadImageA(win32::hinstance(instance), MAKEINTRESOURCEA(resource), IMAGE_ICON,
                                             size, size, LR_DEFAULTCOLOR));
    return reinterpret_cast<IconHandle>(icon);
}

}  // namespace vantrel::platform
