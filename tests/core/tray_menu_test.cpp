// The tray icon's notifications and the menu's commands.
#include <string>
#include <vector>

#include "monitor/process_table.h"
#include "settings/settings_table.h"
#include "shell/about_dialog.h"
#include "shell/app_ids.h"
#include "shell/main_window.h"
#include "shell/settings_dialog.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

class TrayMenuTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        ASSERT_EQ(run_application(nullptr), 0);
    }
    static void notify(uint32_t mouse) {
        platform::send_message(fake::main_window_handle(), WM_TRAYNOTIFY, kTrayIconId, mouse);
    }
    static std::vector<fake::MenuItem> menu() { return fake::ui().lastMenu; }
};

TEST_F(TrayMenuTest, EitherButtonOpensTheEightItemMenu) {
    for (uint32_t mouse : {platform::WM_RBUTTONUP, platform::WM_LBUTTONUP}) {
        fake::ui().lastMenu.clear();
        notify(mouse);
        const auto items = menu();
        ASSERT_EQ(items.size(), 8u);
        const std::vector<std::pair<uint32_t, std::string>> expected = {
            {CMD_SETTINGS, "設定"},
            {0, ""},
            {CMD_TOGGLE_TOTAL_WARNING, "全体警告　有効/無効"},
            {CMD_TOGGLE_TOTAL_NOTICE, "全体お知らせ　有効/無効"},
            {CMD_TOGGLE_PROCESS_WARNING, "個別警告　有効/無効"},
            {0, ""},
            {CMD_ABOUT, "バージョン情報"},
            {CMD_EXIT, "終了"},
        };
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].id, expected[i].first) << i;
            EXPECT_EQ(items[i].text, expected[i].second) << i;
        }
        EXPECT_EQ(items[1].flags, platform::MF_SEPARATOR);
        EXPECT_EQ(items[5].flags, platform::MF_SEPARATOR);
    }
    EXPECT_EQ(fake::ui().menusShown, 2);
    EXPECT_EQ(fake::ui().menusDestroyed, 2);
}

TEST_F(TrayMenuTest, CheckMarksFollowTheSwitches) {
    auto flags = [] {
        notify(platform::WM_RBUTTONUP);
        return std::vector<uint32_t>{menu()[2].flags, menu()[3].flags, menu()[4].flags};
    };
    const uint32_t on = platform::MF_CHECKED;
    EXPECT_EQ(flags(), (std::vector<uint32_t>{on, on, on}));
    fake::ui().menuChoice = CMD_TOGGLE_TOTAL_WARNING;
    notify(platform::WM_RBUTTONUP);
    fake::ui().menuChoice = 0;
    EXPECT_EQ(settings.allenable.get(), 0);
    EXPECT_EQ(flags(), (std::vector<uint32_t>{0, on, on}));
    // Changes made elsewhere (the settings dialog) show at the next click.
    settings.allinfoenable.set(0);
    settings.eachenable.set(0);
    EXPECT_EQ(flags(), (std::vector<uint32_t>{0, 0, 0}));
    platform::send_message(fake::main_window_handle(), platform::WM_COMMAND, CMD_TOGGLE_PROCESS_WARNING, 0);
    EXPECT_EQ(flags(), (std::vector<uint32_t>{0, 0, on}));
}

TEST_F(TrayMenuTest, DoubleClickOpensTheSettingsDialogAndOtherNotificationsNothing) {
    for (uint32_t mouse : {platform::WM_MOUSEMOVE, platform::WM_LBUTTONDOWN, platform::WM_RBUTTONDOWN,
                           0x0207u /* middle button */, platform::WM_USER + 2 /* balloon */}) {
        notify(mouse);
    }
    EXPECT_EQ(fake::ui().menusShown, 0);
    EXPECT_TRUE(fake::ui().dialogsOpened.empty());
    notify(platform::WM_LBUTTONDBLCLK);
    EXPECT_EQ(fake::ui().dialogsOpened, std::vector<int>{kSettingsDialogTemplate});
    EXPECT_EQ(fake::ui().menusShown, 0);
}

TEST_F(TrayMenuTest, EachDialogHasOneInstanceAndBothCanBeOpen) {
    std::vector<std::string> log;
    fake::ui().whileDialogOpen = [&](platform::WindowHandle, int templateId) {
        if (templateId == kSettingsDialogTemplate) {
            log.push_back("settings open");
            platform::send_message(fake::main_window_handle(), platform::WM_COMMAND, CMD_SETTINGS, 0);
            notify(platform::WM_LBUTTONDBLCLK);
            platform::send_message(fake::main_window_handle(), platform::WM_COMMAND, CMD_ABOUT, 0);
        } else {
            log.push_back("about open");
            platform::send_message(fake::main_window_handle(), platform::WM_COMMAND, CMD_ABOUT, 0);
            platform::send_message(fake::main_window_handle(), platform::WM_COMMAND, CMD_SETTINGS, 0);
        }
    };
    platform::send_message(fake::main_window_handle(), platform::WM_COMMAND, CMD_SETTINGS, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"settings open", "about open"}));
    // Settings brought forward three times (twice from itself, once from the About box).
    EXPECT_EQ(fake::ui().foregrounded.size(), 3u);
    EXPECT_EQ(openSettingsDialog, nullptr);
    EXPECT_EQ(aboutOpen, 0);
}

TEST_F(TrayMenuTest, ExitWhileADialogIsOpenEndsWithoutApplyingItsFields) {
    fake::ui().whileDialogOpen = [](platform::WindowHandle dlg, int) {
        fake::dialog(dlg).texts[1667] = "42";
        platform::send_message(fake::main_window_handle(), platform::WM_COMMAND, CMD_EXIT, 0);
        fake::fire_timer(MonitorTimer);  // the 600 ms tick runs inside the dialog's loop
    };
    platform::send_message(fake::main_window_handle(), platform::WM_COMMAND, CMD_SETTINGS, 0);
    EXPECT_FALSE(fake::ui().windowAlive);
    EXPECT_EQ(settings.allusage.get(), 95);
    EXPECT_EQ(openSettingsDialog, nullptr);
    EXPECT_EQ(fake::ui().quitCode, 0);
}

}  // namespace
}  // namespace vantrel::test
