// The Windows program: one copy per session and per settings folder, the
// common controls, then the portable shell, which registers the hidden main
// window's class, creates the window and runs the message loop.
#include <windows.h>
#include <commctrl.h>

#include "platform/platform.h"
#include "platform/win32/running_copy.h"
#include "platform/win32/window_hooks.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    // A second start hands over to the running copy (running_copy.cpp).
    if (vantrel::win32::hand_over_to_running_copy()) return 0;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    const int code = vantrel::run_application(reinterpret_cast<vantrel::platform::InstanceHandle>(instance));
    // A close asked for by another program may come while a cycle runs.
    vantrel::win32::join_worker();
    return code;
}
