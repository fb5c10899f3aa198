// The seam's opaque handles are the system's handles.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace vantrel::win32 {

// The class of the hidden main window, by which a second start finds it.
inline constexpr char kMainWindowClass[] = "Vantrel";

// The program's mark on its main window, a window property. Another program
// may make a window of the class "Vantrel" too; only a window with this
// mark is taken for the running copy's, by a second start and by the
// installer, so that such a window never gets a command or a close meant
// for Vantrel.
inline constexpr char kMainWindowMark[] = "org.vantrel.Vantrel";

// The running copy's main window on this desktop, or nullptr.
inline HWND find_main_window() {
    for (HWND w = FindWindowExA(nullptr, nullptr, kMainWindowClass, nullptr); w != nullptr;
         w = FindWindowExA(nullptr, w, kMainWindowClass, nullptr)) {
        if (GetPropA(w, kMainWindowMark) != nullptr) return w;
    }
    return nullptr;
}

// A later start's request to that window, and its answers: the start is
// taken (the settings command follows), or the copy's exit is under way. A
// message of the program's own, in the range the system leaves to
// applications, beside the timer requests.
inline constexpr UINT kMsgHandOverRequest = WM_APP + 102;
inline constexpr LRESULT kAnswerTaken = 1;
inline constexpr LRESULT kAnswerExiting = 2;

inline HWND hwnd(platform::WindowHandle window) { return reinterpret_cast<HWND>(window); }
inline platform::WindowHandle window(HWND handle) { return reinterpret_cast<platform::WindowHandle>(handle); }
inline HINSTANCE hinstance(platform::InstanceHandle instance) { return reinterpret_cast<HINSTANCE>(instance); }
inline HMENU hmenu(platform::MenuHandle menu) { return reinterpret_cast<HMENU>(menu); }

}  // namespace vantrel::win32
