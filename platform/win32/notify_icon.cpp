// The notification-area icon: the shell's own, with balloons.
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <mutex>

#include "platform/platform.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_hooks.h"

namespace vantrel::win32 {

namespace {

// Requests come from both threads. Once the main window is gone, a cycle
// that still runs (the window was closed from outside) must not add its
// temporary icon to the dead window, where it would stay.
std::mutex requestLock;
bool windowGone = false;  // under requestLock
UINT lastIconId = 0;      // of the last add, under requestLock

}  // namespace

void drop_icon_requests(HWND window) {
    std::lock_guard<std::mutex> guard(requestLock);
    windowGone = true;
    // An icon that a request added after the window's own removal goes now.
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = window;
    data.uID = lastIconId;
    Shell_NotifyIconA(NIM_DELETE, &data);
}

}  // namespace vantrel::win32

namespace vantrel::platform {

uint32_t icon_record_size() { return NOTIFYICONDATAA_V2_SIZE; }

bool notify_icon(uint32_t request, const IconRecord& record) {
    std::lock_guard<std::mutex> guard(win32::requestLock);
    if (win32::windowGone) return false;
    if (request == kIconAdd) {
        win32::remember_tray_message(record.uCallbackMessage);
        win32::lastIconId = record.uID;
    }
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = record.cbSize;
    data.hWnd = win32::hwnd(record.hWnd);
    data.uID = record.uID;
    data.uFlags = record.uFlags;
    data.uCallbackMessage = record.uCallbackMessage;
    data.hIcon = reinterpret_cast<HICON>(record.hIcon);
    static_assert(sizeof data.szTip == sizeof record.szTip && sizeof data.szInfo == sizeof record.szInfo &&
                  sizeof data.szInfoTitle == sizeof record.szInfoTitle);
    std::memcpy(data.szTip, record.szTip, sizeof data.szTip);
    data.dwState = record.dwState;
    data.dwStateMask = record.dwStateMask;
    std::memcpy(data.szInfo, record.szInfo, sizeof data.szInfo);
    data.uTimeout = record.uTimeout;
    std::memcpy(data.szInfoTitle, record.szInfoTitle, sizeof data.szInfoTitle);
    data.dwInfoFlags = record.dwInfoFlags;
    return Shell_NotifyIconA(request, &data) != 0;
}

// The icon stays icon 105 as it is: the Windows notification area shows the
// total in the icon's tooltip.
void show_load(int32_t /*total*/, uint32_t /*level*/) {}

}  // namespace vantrel::platform
