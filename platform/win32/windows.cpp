// The hidden main window: its class, its creation, the messages sent to
// windows and the message loop.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/handles.h"
#include "platform/win32/running_copy.h"
#include "platform/win32/window_hooks.h"

namespace vantrel::win32 {

namespace {

constexpr int kIconResource = 105;

platform::WindowProc mainWindowProc = nullptr;
UINT taskbarCreated = 0;  // the shell's "TaskbarCreated" message

// The class's message handler: the portable one, with the program's own
// messages and the shell's restart notice turned into the portable forms.
LRESULT CALLBACK main_window_entry(HWND handle, UINT message, WPARAM wparam, LPARAM lparam) {
    if (handle_timer_request(handle, message, wparam, lparam)) return 0;
    if (filter_tray_click(handle, message, wparam, lparam, mainWindowProc)) return 0;
    LRESULT answer = 0;
    if (answer_hand_over(handle, message, mainWindowProc, &answer)) return answer;
    if (message == WM_NCDESTROY) {
        drop_icon_requests(handle);
        unmark_main_window(handle);
    }
    if (taskbarCreated != 0 && message == taskbarCreated)
        return mainWindowProc(window(handle), platform::kMsgNotificationAreaCreated, 0, 0);
    return mainWindowProc(window(handle), message, wparam, lparam);
}

}  // namespace

}  // namespace vantrel::win32

namespace vantrel::platform {

bool register_main_window_class(InstanceHandle instance, WindowProc proc) {
    if (proc == nullptr) return false;
    win32::mainWindowProc = proc;
    // Every shell that starts, or starts again, broadcasts this message.
    win32::taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = 0;
    wc.lpfnWndProc = win32::main_window_entry;
    wc.hInstance = win32::hinstance(instance);
    wc.hIcon = LoadIconA(win32::hinstance(instance), MAKEINTRESOURCEA(win32::kIconResource));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE));  // never painted
    wc.lpszClassName = win32::kMainWindowClass;
    return RegisterClassExA(&wc) != 0;
}

WindowHandle create_main_window(InstanceHandle instance) {
    const HWND handle = CreateWindowExA(0, win32::kMainWindowClass, "", WS_BORDER, 0, 0, 10, 10, nullptr, nullptr,
                                        win32::hinstance(instance), nullptr);
    if (handle != nullptr) {
        UpdateWindow(handle);
        // Made and set up: from now on later starts and the installer may
        // take it for the running copy's.
        win32::mark_main_window(handle);
    }
    return win32::window(handle);
}

intptr_t send_message(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    return SendMessageA(win32::hwnd(window), message, wparam, lparam);
}

intptr_t default_window_proc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    return DefWindowProcA(win32::hwnd(window), message, wparam, lparam);
}

void post_quit_message(int exit_code) { PostQuitMessage(exit_code); }

int run_message_loop() {
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void set_foreground_window(WindowHandle window) { SetForegroundWindow(win32::hwnd(window)); }

}  // namespace vantrel::platform
