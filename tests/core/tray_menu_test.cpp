// The tray icon's notifications and the menu's commands.
#include "monitor/process_table.h"
#include "resources/resource_ids.h"
#include "settings/settings_table.h"
#include "shell/about_dialog.h"
#include "shell/app_ids.h"
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
    static void notify(uint32_t mouse) { send(WM_TRAYNOTIFY, kTrayIconId, mouse); }
    static void command(uintptr_t id) { send(platform::kMsgCommand, id); }
    // The items of a menu opened now, as "id flags text".
    static std::vector<std::string> menu(uint32_t mouse = platform::kMsgRButtonUp) {
        notify(mouse);
        return fake::ui().lastMenu;
    }
};

TEST_F(TrayMenuTest, EitherButtonOpensTheMenuWhoseChecksFollowTheSwitches) {
    const std::vector<std::string> all = {
        "40004 0 設定", "0 2048 ", "40011 8 全体警告　有効/無効", "40012 8 全体お知らせ　有効/無効",
        "40013 8 個別警告　有効/無効", "0 2048 ", "40005 0 バージョン情報", "40003 0 終了"};
    EXPECT_EQ(menu(platform::kMsgLButtonUp), all);
    fake::ui().menuChoice = CMD_TOGGLE_TOTAL_WARNING;
    EXPECT_EQ(menu(), all);
    fake::ui().menuChoice = 0;
    settings.eachenable.set(0);  // changed elsewhere: shown at the next click
    const auto items = menu();
    EXPECT_EQ(items[2], "40011 0 全体警告　有効/無効");
    EXPECT_EQ(items[4], "40013 0 個別警告　有効/無効");
    EXPECT_EQ(fake::ui().menusDestroyed, 3);
    command(CMD_TOGGLE_TOTAL_NOTICE | (1u << 16));  // only the low 16 bits count
    command(CMD_TOGGLE_PROCESS_WARNING);
    EXPECT_EQ(settings.allinfoenable.get() + settings.eachenable.get(), 1);
    for (uintptr_t unknown : {0u, 1u, 40000u, 40006u, 40014u}) command(unknown);
    EXPECT_EQ(settings.allenable.get() + settings.allinfoenable.get() + settings.eachenable.get(), 1);
    EXPECT_EQ(cycleState.exitPending, 0);
}

TEST_F(TrayMenuTest, EachDialogHasOneInstanceAndBothCanBeOpen) {
    fake::ui().whileDialogOpen = [](platform::WindowHandle, int templateId) {
        command(CMD_SETTINGS);
        command(CMD_ABOUT);
        if (templateId == kSettingsDialogTemplate) notify(platform::kMsgLButtonDblClk);
    };
    command(CMD_SETTINGS);
    EXPECT_EQ(fake::ui().dialogsOpened, (std::vector<int>{kSettingsDialogTemplate, kAboutDialogTemplate}));
    EXPECT_EQ(fake::ui().foregrounded.size(), 3u);  // the open settings dialog, brought forward
    EXPECT_EQ(openSettingsDialog, nullptr);
    EXPECT_EQ(aboutOpen, 0);
}

}  // namespace
}  // namespace vantrel::test
