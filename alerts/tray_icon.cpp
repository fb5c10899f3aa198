#include "alerts/tray_icon.h"

#include <cstring>
#include <mutex>

#include "resources/resource_ids.h"
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
    iconRecord.cbSize = platform::icon_record_size();
    iconRecord.hWnd = window;
    iconRecord.uID = kTrayIconId;
    iconRecord.uFlags = platform::kIconFlagMessage | platform::kIconFlagIcon | platform::kIconFlagTip;
    iconRecord.uCallbackMessage = WM_TRAYNOTIFY;
    iconRecord.hIcon = platform::load_icon(instance, iconResource);
    copy_bytes(iconRecord.szTip, sizeof iconRecord.szTip, tooltip);
    platform::notify_icon(platform::kIconAdd, iconRecord);
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
    if (iconShown) platform::notify_icon(platform::kIconDelete, iconRecord);
    iconShown = false;
}

void restore_icon() {
    std::lock_guard<std::mutex> guard(trayLock);
    if (!iconShown) return;
    // The picture anew: the new notification area may be drawn at another
    // DPI (the shell restarts after a change of scaling).
    iconRecord.hIcon = platform::load_icon(appInstance, kIconResource);
    platform::notify_icon(platform::kIconAdd, iconRecord);
}

void set_tooltip(const char* text) {
    std::lock_guard<std::mutex> guard(trayLock);
    platform::IconRecord copy = iconRecord;
    copy.uFlags = platform::kIconFlagTip;
    copy_cut(platform::system_code_page(), copy.szTip, kTooltipLimit + 1, text);
    platform::notify_icon(platform::kIconModify, copy);
}

void show_balloon(const char* title, const char* message, uint32_t kind) {
    std::lock_guard<std::mutex> guard(trayLock);
    if (!iconShown && settings.disptrayicon.get() == 0) {
        add_icon_locked(appInstance, mainWindow, kIconResource, kProductName);
        platform::set_timer(mainWindow, BalloonIconTimer, kBalloonIconMs);
    }
    platform::IconRecord copy = iconRecord;
    copy.uFlags = platform::kIconFlagInfo;
    copy_bytes(copy.szInfoTitle, sizeof copy.szInfoTitle, title);
    copy_bytes(copy.szInfo, sizeof copy.szInfo, message);
    copy.dwInfoFlags = kind;
    platform::notify_icon(platform::kIconModify, copy);
}

}  // namespace vantrel
