#include "alerts/tray_icon.h"

#include <cstring>
#include <mutex>

#include "settings/settings_table.h"
#include "shell/app_ids.h"
#include "text/code_page.h"

namespace vantrel {

platform::IconRecord iconRecord;

namespace {

std::mutex trayLock;
bool iconShown = false;  // guarded by trayLock

void add_icon_locked(platform::InstanceHandle instance, platform::WindowHandle window,
                     int iconResource, const char* tooltip) {
    std::memset(&iconRecord, 0, sizeof iconRecord);
    iconRecord.cbSize = kIconRecordSize;
    iconRecord.hWnd = window;
    iconRecord.uID = kTrayIconId;
    iconRecord.uFlags = platform::NIF_MESSAGE | platform::NIF_ICON | platform::NIF_TIP;
    iconRecord.uCallbackMessage = WM_TRAYNOTIFY;
    iconRecord.hIcon = platform::load_icon(instance, iconResource);
    copy_bytes(iconRecord.szTip, sizeof iconRecord.szTip, tooltip);
    platform::notify_icon(platform::NIM_ADD, iconRecord);
    iconShown = true;
}

}  // namespace

bool icon_shown() {
    std::lock_guard<std::mutex> guard(trayLock);
    return iconShown;
}

void add_icon(platform::InstanceHandle instance, platform::WindowHandle window, int iconResource,
              const char* tooltip) {
    std::lock_guard<std::mutex> guard(trayLock);
    add_icon_locked(instance, window, iconResource, tooltip);
}

void remove_icon() {
    std::lock_guard<std::mutex> guard(trayLock);
    if (iconShown) platform::notify_icon(platform::NIM_DELETE, iconRecord);
    iconShown = false;
}

void set_tooltip(const char* text) {
    std::lock_guard<std::mutex> guard(trayLock);
    platform::IconRecord copy = iconRecord;
    copy.uFlags = platform::NIF_TIP;
    copy_cut(platform::system_code_page(), copy.szTip, kTooltipLimit + 1, text);
    platform::notify_icon(platform::NIM_MODIFY, copy);
}

void show_balloon(const char* title, const char* message, uint32_t kind) {
    std::lock_guard<std::mutex> guard(trayLock);
    if (!iconShown && settings.disptrayicon.get() == 0) {
        add_icon_locked(appInstance, mainWindow, kIconResource, kProductName);
        platform::set_timer(mainWindow, BalloonIconTimer, kBalloonIconMs);
    }
    platform::IconRecord copy = iconRecord;
    copy.uFlags = platform::NIF_INFO;
    copy_bytes(copy.szInfoTitle, sizeof copy.szInfoTitle, title);
    copy_bytes(copy.szInfo, sizeof copy.szInfo, message);
    copy.dwInfoFlags = kind;
    platform::notify_icon(platform::NIM_MODIFY, copy);
}

}  // namespace vantrel
