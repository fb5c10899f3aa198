// Looks at the running Windows program from outside, as the end-to-end tests
// need it, and prints what it finds in the system code page. vantrel_probe
//
//   running             whether the program's main window exists
//   tooltip             the text of the tooltips on screen
//   text WINDOW ID      the text of control ID of a window of the program:
//                       settings, about or range (the range message box)
//   focus WINDOW        the id of the window's focused control and its text
//                       selection
//   taskbar-created     tells the program the shell has restarted
//   drop-icon           takes the program's icon out of the notification
//                       area, as a restarted shell would have lost it
//   stranger            makes another program's window of the class
//                       "Vantrel", prints "ready", then each close, command
//                       or application message it gets
//   exit-and-start EXE  asks the program to exit, as its menu's Exit does,
//                       and at once to take a start, which it must refuse
//                       (else exit code 3); starts EXE, waits for it and
//                       ends with its exit code
//   hold-lock FOLDER    holds the settings folder's lock as a copy in
//                       another session would, prints "held", and lets go
//                       when its standard input ends
//
// Windows are named in ASCII on the command line: what a test passes there
// reaches a program under Wine in the Unix locale's encoding, not in code
// page 932. Exit code 0 when it found what it looked for, 1 otherwise.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win32/handles.h"
#include "platform/win32/settings_lock.h"
#include "resources/resource_ids.h"

namespace {

using vantrel::win32::find_main_window;
using vantrel::win32::kMainWindowClass;

// The program's window of a name, by its title.
HWND named_window(const char* name) {
    const char* const titles[][2] = {{"settings", "設定"}, {"about", "バージョン情報"}, {"range", "out of range"}};
    for (const auto& [named, title] : titles)
        if (std::strcmp(name, named) == 0) return FindWindowA(nullptr, title);
    return nullptr;
}

BOOL CALLBACK print_tooltip(HWND window, LPARAM found) {
    char name[64];
    if (IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) > 0 &&
        std::strcmp(name, "tooltips_class32") == 0) {
        // Sent, not GetWindowText: that gives another process's window's
        // caption, not what the tooltip shows.
        char text[512] = "";
        if (SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)) > 0) {
            std::printf("%s\n", text);
            *reinterpret_cast<bool*>(found) = true;
        }
    }
    return TRUE;
}

int print_text(const char* name, int id) {
    const HWND window = named_window(name);
    if (window == nullptr) return 1;
    char text[1024];
    GetDlgItemTextA(window, id, text, sizeof text);
    std::printf("%s\n", text);
    return 0;
}

int print_focus(const char* name) {
    const HWND window = named_window(name);
    if (window == nullptr) return 1;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || info.hwndFocus == nullptr) return 1;
    DWORD from = 0, to = 0;
    SendMessageA(info.hwndFocus, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    std::printf("%d %lu %lu\n", GetDlgCtrlID(info.hwndFocus), from, to);
    return 0;
}

LRESULT CALLBACK stranger_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CLOSE || message == WM_COMMAND || (message >= WM_APP && message <= 0xBFFF)) {
        std::printf("%u %llu\n", message, static_cast<unsigned long long>(wparam));
        std::fflush(stdout);
        return 0;  // a close too: the window stays to note what comes later
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

int run_stranger() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = stranger_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kMainWindowClass;
    if (RegisterClassA(&wc) == 0 ||
        CreateWindowExA(0, kMainWindowClass, "", WS_BORDER, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                        nullptr) == nullptr)
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}

int exit_and_start(const char* exe) {
    const HWND program = find_main_window();
    if (program == nullptr || !PostMessageA(program, WM_COMMAND, vantrel::CMD_EXIT, 0)) return 1;
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(program, vantrel::win32::kMsgHandOverRequest, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer);
    if (static_cast<LRESULT>(answer) != vantrel::win32::kAnswerExiting) return 3;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(exe, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) return 1;
    WaitForSingleObject(started.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(started.hProcess, &code);
    return static_cast<int>(code);
}

int hold_lock(const char* folder) {
    if (vantrel::win32::take_folder_lock(folder, 0) != vantrel::win32::FolderLock::Taken) return 1;
    std::printf("held\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    _setmode(_fileno(stdout), _O_BINARY);  // the texts' line ends as they are
    const char* what = argv[1];
    if (std::strcmp(what, "tooltip") == 0) {
        bool found = false;
        EnumWindows(print_tooltip, reinterpret_cast<LPARAM>(&found));
        return found ? 0 : 1;
    }
    if (std::strcmp(what, "text") == 0 && argc == 4) return print_text(argv[2], std::atoi(argv[3]));
    if (std::strcmp(what, "focus") == 0 && argc == 3) return print_focus(argv[2]);
    if (std::strcmp(what, "stranger") == 0) return run_stranger();
    if (std::strcmp(what, "hold-lock") == 0 && argc == 3) return hold_lock(argv[2]);
    if (std::strcmp(what, "exit-and-start") == 0 && argc == 3) return exit_and_start(argv[2]);
    const HWND program = find_main_window();
    if (program == nullptr) return 1;
    if (std::strcmp(what, "running") == 0) return 0;
    if (std::strcmp(what, "taskbar-created") == 0)
        return PostMessageA(program, RegisterWindowMessageA("TaskbarCreated"), 0, 0) ? 0 : 1;
    if (std::strcmp(what, "drop-icon") == 0) {
        NOTIFYICONDATAA icon{};
        icon.cbSize = NOTIFYICONDATAA_V2_SIZE;
        icon.hWnd = program;
        icon.uID = 1;
        return Shell_NotifyIconA(NIM_DELETE, &icon) ? 0 : 1;
    }
    return 2;
}
