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
    // busy is read once. This thread alone sets it, right before it starts a
    // worker, and the cycle's last step alone clears it (or this thread, when
    // no worker started). So a tick that reads it clear knows that no cycle
    // runs and none can begin but its own, and once Exit is pending no tick
    // starts a cycle: the first that finds none running closes the window.
    const bool cycleRunning = cycleState.busy != 0;
    if (cycleState.exitPending == 1 && !cycleRunning) {
        // The window is gone once the close returns; nothing is armed again.
        platform::send_message(window, platform::kMsgClose, 0, 0);
        return;
    }
    if (!cycleRunning) {
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
            // A shell that starts again has lost the icon: add it again.
            // Departs from the documented handler, which leaves this to
            // default handling, so the icon stayed away until a restart.
            restore_icon();
            return 0;
        case platform::kMsgHandOver:
            return cycleState.exitPending == 1 ? 0 : 1;
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

// Departs from the documented worker, which sets busy itself and clears it
// again after the cycle: the tick sets it before the start, and the cycle's
// own last step is the only clear, so that a late clear of a finished worker
// can never wipe out the busy of the next one.
void monitor_worker() { run_cycle(); }

int run_application(platform::InstanceHandle instance) {
    appInstance = instance;
    if (!platform::register_main_window_class(instance, main_window_proc)) return 0;
    if (platform::create_main_window(instance) == nullptr) return 0;
    return platform::run_message_loop();
}

}  // namespace vantrel
