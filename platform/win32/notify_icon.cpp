// The notification-area icon: the shell's own, with balloons.
#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "platform/platform.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_hooks.h"

namespace vantrel::platform {

uint32_t icon_record_size() { return NOTIFYICONDATAA_V2_SIZE; }

bool notify_icon(uint32_t request, const IconRecord& record) {
    if (request == kIconAdd) win32::remember_tray_message(record.uCallbackMessage);
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

IconHandle load_icon(InstanceHandle instance, int resource) {
    return reinterpret_cast<IconHandle>(LoadIconA(win32::hinstance(instance), MAKEINTRESOURCEA(resource)));
}

}  // namespace vantrel::platform
