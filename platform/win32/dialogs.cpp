// Modal dialogs from the program's dialog resources, run by the portable
// dialog procedures, and the controls they read and write.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace vantrel::win32 {

namespace {

// The system's dialog procedure for every dialog: the portable procedure,
// handed over as the creation parameter, is kept with the dialog's window.
// Messages before the first one (the font) get the default handling.
INT_PTR CALLBACK dialog_entry(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lparam);
    const auto proc = reinterpret_cast<platform::WindowProc>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (proc == nullptr) return FALSE;
    return proc(window(dialog), message, wparam, message == WM_INITDIALOG ? 0 : lparam);
}

HWND item(platform::WindowHandle dialog, int id) { return GetDlgItem(hwnd(dialog), id); }

LRESULT send_item(platform::WindowHandle dialog, int id, UINT message, WPARAM wparam, LPARAM lparam) {
    return SendDlgItemMessageA(hwnd(dialog), id, message, wparam, lparam);
}

}  // namespace

}  // namespace vantrel::win32

namespace vantrel::platform {

intptr_t dialog_box(InstanceHandle instance, int template_id, WindowHandle owner, WindowProc proc) {
    return DialogBoxParamA(win32::hinstance(instance), MAKEINTRESOURCEA(template_id), win32::hwnd(owner),
                           win32::dialog_entry, reinterpret_cast<LPARAM>(proc));
}

void end_dialog(WindowHandle dialog, intptr_t result) { EndDialog(win32::hwnd(dialog), result); }

void set_item_text(WindowHandle dialog, int id, const char* text) { SetDlgItemTextA(win32::hwnd(dialog), id, text); }

std::size_t get_item_text(WindowHandle dialog, int id, char* buf, std::size_t cap) {
    if (buf == nullptr || cap == 0) return 0;
    buf[0] = '\0';
    const int size = cap > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(cap);
    return GetDlgItemTextA(win32::hwnd(dialog), id, buf, size);
}

void check_button(WindowHandle dialog, int id, int checked) {
    win32::send_item(dialog, id, BM_SETCHECK, checked != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool is_button_checked(WindowHandle dialog, int id) {
    return IsDlgButtonChecked(win32::hwnd(dialog), id) == BST_CHECKED;
}

void list_delete_entry(WindowHandle dialog, int id, int position) {
    win32::send_item(dialog, id, CB_DELETESTRING, static_cast<WPARAM>(position), 0);
}

void list_insert_entry(WindowHandle dialog, int id, int position, const char* text) {
    win32::send_item(dialog, id, CB_INSERTSTRING, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(text));
}

void list_select(WindowHandle dialog, int id, int position) {
    win32::send_item(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

int list_selection(WindowHandle dialog, int id) {
    return static_cast<int>(win32::send_item(dialog, id, CB_GETCURSEL, 0, 0));
}

void select_all_text(WindowHandle dialog, int id) { win32::send_item(dialog, id, EM_SETSEL, 0, -1); }

void focus_item(WindowHandle dialog, int id) { SetFocus(win32::item(dialog, id)); }

void message_box(WindowHandle owner, const char* text, const char* caption) {
    MessageBoxA(win32::hwnd(owner), text, caption, MB_OK);
}

}  // namespace vantrel::platform
