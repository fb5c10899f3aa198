#include "shell/main_window.h"

#include "alerts/tray_icon.h"
#include "monitor/monitor_cycle.h"
#include "monitor/process_table.h"
#include "resources/resource_ids.h"
#include "settings/settings_file.h"
#include "settings/settings_table.h"
#include "shell/app_ids.h"
#include "shell/settings_dialog.h"
#include "shell/tray_menu.h"

namespace vantrel {

platform::InstanceHandle appInstance = nullptr;
platform::WindowHandle mainWindow = nullptr;

namespace {

constexpr uint32_t kFirstTickMs = 100;

uint32_t interval_ms() {
    const int32_t seconds = settings.intervalsec.get();
    return static_cast<uint32_t>(seconds < 1 ? 1 : seconds) * 1000u;
}

void on_create(platform::WindowHandle window) {
    mainWindow = window;
    load_settings();
    prepare_file_chooser();
    if (settings.disptrayicon.get() != 0) add_icon(appInstance, window, kIconResource, kProductName);
    platform::set_timer(window, MonitorTimer, kFirstTickMs);
}

void on_monitor_tick(platform::WindowHandle window) {
    if (cycleState.exitPending == 1 && cycleState.busy == 0) {
        // The window is gone once the close returns; nothing is armed again.
        platform::send_message(window, platform::kMsgClose, 0, 0);
        return;
    }
    if (cycleState.busy == 0) {
        // busy is set before the thread starts, so no later tick can ever
        // find it clear while a cycle runs.
        cycleState.busy = 1;
        if (!platform::start_worker(monitor_worker)) cycleState.busy = 0;
    }
    platform::set_timer(window, MonitorTimer, interval_ms());
}

void on_destroy() {
    // A balloon from a cycle that ran on after Exit may have brought the
    // temporary icon back; it leaves with the window.
    remove_icon();
    save_settings();
    platform::post_quit_message(0);
}

}  // namespace

intptr_t main_window_proc(platform::WindowHandle window, uint32_t message, uintptr_t wparam,
                          intptr_t lparam) {
    switch (message) {
        case platform::kMsgCreate:
            on_create(window);
            return 0;
        case platform::kMsgTimer:
            platform::kill_timer(window, wparam);
            if (wparam == MonitorTimer) on_monitor_tick(window);
            if (wparam == BalloonIconTimer) remove_icon();
            return 0;
        case platform::kMsgNotificationAreaCreated:
            restore_icon();
            return 0;
        case WM_TRAYNOTIFY:
            handle_tray_notify(wparam, lparam);
            return 0;
        case platform::kMsgCommand:
            handle_command(wparam, lparam);
            return 0;
        case platform::kMsgDestroy:
            on_destroy();
            return 0;
        default:
            return platform::default_window_proc(window, message, wparam, lparam);
    }
}

void monitor_worker() {
    cycleState.busy = 1;
    run_cycle();
    cycleState.busy = 0;
}

int run_application(platform::InstanceHandle instance) {
    appInstance = instance;
    if (!platform::register_main_window_class(instance, main_window_proc)) return 0;
    if (platform::create_main_window(instance) == nullptr) return 0;
    return platform::run_message_loop();
}

}  // namespace vantrel
