// The seam's opaque handles are the system's handles.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace vantrel::win32 {

// The class of the hidden main window, by which a second start finds it.
inline constexpr char kMainWindowClass[] = "Vantrel";

inline HWND hwnd(platform::WindowHandle window) { return reinterpret_cast<HWND>(window); }
inline platform::WindowHandle window(HWND handle) { return reinterpret_cast<platform::WindowHandle>(handle); }
inline HINSTANCE hinstance(platform::InstanceHandle instance) { return reinterpret_cast<HINSTANCE>(instance); }
inline HMENU hmenu(platform::MenuHandle menu) { return reinterpret_cast<HMENU>(menu); }

}  // namespace vantrel::win32
