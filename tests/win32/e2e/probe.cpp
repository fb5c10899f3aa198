// Looks at the running Windows program from outside, as the end-to-end tests
// need it, and prints what it finds in the system code page:
//
//   vantrel_probe running            whether the program's main window exists
//   vantrel_probe menu               whether the program's popup menu is open
//   vantrel_probe tooltip            the text of the tooltips on screen
//   vantrel_probe text WINDOW ID     the text of control ID of a window of the
//                                    program: settings, about or range (the
//                                    range message box)
//   vantrel_probe focus WINDOW       the id of the focused control of the
//                                    window and its text selection
//   vantrel_probe taskbar-created    tells the program the shell has restarted
//   vantrel_probe drop-icon          takes the program's icon out of the
//                                    notification area, as a restarted shell
//                                    would have lost it
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

namespace {

HWND program_window() { return FindWindowA("Vantrel", nullptr); }

// The program's window of a name, by its title.
HWND named_window(const char* name) {
    const char* title = std::strcmp(name, "settings") == 0 ? "設定"
                        : std::strcmp(name, "about") == 0  ? "バージョン情報"
                        : std::strcmp(name, "range") == 0  ? "out of range"
                                                           : nullptr;
    return title == nullptr ? nullptr : FindWindowA(nullptr, title);
}

bool of_program(HWND window) {
    DWORD mine = 0, its = 0;
    GetWindowThreadProcessId(program_window(), &mine);
    GetWindowThreadProcessId(window, &its);
    return mine != 0 && mine == its;
}

bool shown_of_class(HWND window, const char* wanted) {
    char name[64];
    return IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, wanted) == 0;
}

// Menus of another process cannot be read; that the program's menu is on
// screen can be seen.
BOOL CALLBACK find_menu(HWND window, LPARAM found) {
    if (shown_of_class(window, "#32768") && of_program(window)) *reinterpret_cast<bool*>(found) = true;
    return TRUE;
}

BOOL CALLBACK print_tooltip(HWND window, LPARAM found) {
    if (shown_of_class(window, "tooltips_class32")) {
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    _setmode(_fileno(stdout), _O_BINARY);  // the texts' line ends as they are
    const char* what = argv[1];
    const bool menu = std::strcmp(what, "menu") == 0;
    if (menu || std::strcmp(what, "tooltip") == 0) {
        bool found = false;
        EnumWindows(menu ? find_menu : print_tooltip, reinterpret_cast<LPARAM>(&found));
        return found ? 0 : 1;
    }
    if (std::strcmp(what, "text") == 0 && argc == 4) return print_text(argv[2], std::atoi(argv[3]));
    if (std::strcmp(what, "focus") == 0 && argc == 3) return print_focus(argv[2]);
    const HWND program = program_window();
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
