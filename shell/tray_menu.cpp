#include "shell/tray_menu.h"

#include "alerts/tray_icon.h"
#include "monitor/process_table.h"
#include "platform/platform.h"
#include "resources/resource_ids.h"
#include "settings/settings_table.h"
#include "shell/about_dialog.h"
#include "shell/app_ids.h"
#include "shell/settings_dialog.h"

namespace vantrel {

namespace {

constexpr uint32_t kExitTickMs = 600;

uint32_t checked_if(const IntSetting& setting) {
    return setting.get() == 1 ? platform::kMenuChecked : platform::kMenuString;
}

// The menu is built anew at every click, so its check marks always show the
// switches in force.
void show_tray_menu() {
    platform::MenuHandle menu = platform::create_popup_menu();
    if (menu == nullptr) return;
    platform::append_menu(menu, platform::kMenuString, CMD_SETTINGS, "設定");
    platform::append_menu(menu, platform::kMenuSeparator, 0, nullptr);
    platform::append_menu(menu, checked_if(settings.allenable), CMD_TOGGLE_TOTAL_WARNING,
                          "全体警告　有効/無効");
    platform::append_menu(menu, checked_if(settings.allinfoenable), CMD_TOGGLE_TOTAL_NOTICE,
                          "全体お知らせ　有効/無効");
    platform::append_menu(menu, checked_if(settings.eachenable), CMD_TOGGLE_PROCESS_WARNING,
                          "個別警告　有効/無効");
    platform::append_menu(menu, platform::kMenuSeparator, 0, nullptr);
    platform::append_menu(menu, platform::kMenuString, CMD_ABOUT, "バージョン情報");
    platform::append_menu(menu, platform::kMenuString, CMD_EXIT, "終了");
    const platform::Point at = platform::cursor_pos();
    platform::track_popup_menu(menu, at.x, at.y, mainWindow);
    platform::destroy_menu(menu);
}

void toggle(IntSetting& setting) { setting.set(setting.get() == 0 ? 1 : 0); }

void begin_exit() {
    // Marked first: taking the icon away waits for the notification area,
    // and a system delivers the messages sent to this window meanwhile, a
    // second start's hand-over among them, which must already be refused.
    cycleState.exitPending = 1;
    remove_icon();
    platform::set_timer(mainWindow, MonitorTimer, kExitTickMs);
}

}  // namespace

void handle_tray_notify(uintptr_t /*wparam*/, intptr_t lparam) {
    const auto mouse = static_cast<uint32_t>(lparam);
    if (mouse == platform::kMsgRButtonUp || mouse == platform::kMsgLButtonUp) {
        show_tray_menu();
    } else if (mouse == platform::kMsgLButtonDblClk) {
        platform::send_message(mainWindow, platform::kMsgCommand, CMD_SETTINGS, 0);
    }
}

intptr_t handle_command(uintptr_t wparam, intptr_t /*lparam*/) {
    // Once Exit is under way nothing else starts: a dialog opened now would
    // be closed with the window moments later, and a repeated Exit would put
    // the close off by re-arming its tick. Departs from the documented
    // handling, which carries out every command at any time.
    if (cycleState.exitPending == 1) return 0;
    switch (static_cast<uint32_t>(wparam & 0xFFFF)) {
        case CMD_EXIT:
            begin_exit();
            break;
        case CMD_SETTINGS:
            if (openSettingsDialog != nullptr) {
                platform::set_foreground_window(openSettingsDialog);
            } else {
                platform::dialog_box(appInstance, kSettingsDialogTemplate, mainWindow,
                                     settings_dialog_proc);
            }
            break;
        case CMD_ABOUT:
            if (aboutOpen == 0)
                platform::dialog_box(appInstance, kAboutDialogTemplate, mainWindow, about_dialog_proc);
            break;
        case CMD_TOGGLE_TOTAL_WARNING:
            toggle(settings.allenable);
            break;
        case CMD_TOGGLE_TOTAL_NOTICE:
            toggle(settings.allinfoenable);
            break;
        case CMD_TOGGLE_PROCESS_WARNING:
            toggle(settings.eachenable);
            break;
        default:
            break;
    }
    return 0;
}

}  // namespace vantrel
