// The application shell: its state machine (start-up, ticks, the worker, the
// temporary icon's timer, the exit sequence and the close of the main
// window), the tray icon's clicks and the menu's commands, and what the
// settings dialog shows, reads, checks and commits. Its focus and selection,
// and the About box: the Qt test and e2e/about_box.sh, settings_dialog.sh,
// win32/e2e/dialogs.sh.
#include <functional>
#include <map>

#include "resources/resource_ids.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

using Handle = platform::WindowHandle;

class ShellTest : public CoreTest {
protected:
    void start(const std::string& lines = "") {
        if (!lines.empty()) write_file(ini(), "[Base]\r\n" + lines);
        fake::system().readings["\\Processor(_Total)\\% Processor Time"] = 12;
        ASSERT_EQ(run_application(nullptr), 0);
    }
    static fake::Ui& ui() { return fake::ui(); }
    static void notify(uint32_t mouse) { send(WM_TRAYNOTIFY, kTrayIconId, mouse); }
    static void command(uintptr_t id) { send(platform::kMsgCommand, id); }
};

TEST_F(ShellTest, StartLoadsSettingsShowsTheIconAndTicksAfter100ms) {
    start("intervalsec=60\r\n");
    EXPECT_EQ(ui().timerLog, (fake::TimerLog{{MonitorTimer, 100}}));
    EXPECT_EQ(request_kinds(), Kinds{platform::kIconAdd});
    fake::fire_timer(MonitorTimer);
    EXPECT_EQ(ui().armedTimers[MonitorTimer], 60000u);

    // A notification area made anew gets the icon again (win32/e2e/tray.sh),
    // only if it is shown. Without the permanent icon a balloon brings the
    // temporary one, which its one-shot timer takes away.
    restart();
    start("disptrayicon=0\r\nallusage=10\r\n");
    send(platform::kMsgNotificationAreaCreated);
    EXPECT_TRUE(icon_requests().empty());
    fake::fire_timer(MonitorTimer);  // the total of 12 raises a warning
    EXPECT_EQ(ui().armedTimers[BalloonIconTimer], 10000u);
    clear_icon_requests();
    fake::fire_timer(BalloonIconTimer);
    EXPECT_EQ(request_kinds(), Kinds{platform::kIconDelete});
    EXPECT_FALSE(fake::fire_timer(BalloonIconTimer));
}

TEST_F(ShellTest, NoSecondWorkerWhileBusyAndRetryAfterAFailedStart) {
    ui().runWorkersInline = false;
    start();
    fake::fire_timer(MonitorTimer);
    fake::fire_timer(MonitorTimer);
    EXPECT_EQ(ui().workersStarted, 1);
    EXPECT_EQ(ui().armedTimers[MonitorTimer], 5000u);
    fake::run_pending_worker();
    ui().workerStartFails = true;
    fake::fire_timer(MonitorTimer);
    ui().workerStartFails = false;
    fake::fire_timer(MonitorTimer);
    EXPECT_EQ(ui().workersStarted, 2);  // the failed start left the cycle free
}

TEST_F(ShellTest, ExitEndsAtTheFirstTickWithoutACycle) {
    for (bool cycleRunning : {false, true}) {
        SCOPED_TRACE(cycleRunning);
        restart();
        ui().runWorkersInline = !cycleRunning;
        start();
        fake::fire_timer(MonitorTimer);
        // A hand-over that arrives while the icon is taken away is refused.
        intptr_t handOver = -1;
        ui().whileIconRequest = [&] { handOver = send(platform::kMsgHandOver); };
        command(CMD_EXIT);
        ui().whileIconRequest = nullptr;
        EXPECT_EQ(handOver, 0);
        EXPECT_EQ(icon_requests().back().request, platform::kIconDelete);  // at once
        EXPECT_EQ(ui().armedTimers[MonitorTimer], 600u);
        fake::fire_timer(MonitorTimer);
        EXPECT_EQ(ui().windowAlive, cycleRunning);
        // Once Exit is under way no command is carried out: no dialog opens
        // and a repeated Exit does not put the close off. (That a second
        // start is refused then: e2e/second_start.sh, win32/e2e/copies.sh.)
        const uint32_t pendingTick = ui().armedTimers[MonitorTimer];
        for (uintptr_t id : {CMD_SETTINGS, CMD_ABOUT, CMD_TOGGLE_TOTAL_WARNING, CMD_EXIT}) command(id);
        EXPECT_TRUE(ui().dialogsOpened.empty());
        EXPECT_EQ(settings.allenable.get(), 1);
        EXPECT_EQ(ui().armedTimers[MonitorTimer], pendingTick);
        fake::run_pending_worker();
        fake::fire_timer(MonitorTimer);
        EXPECT_FALSE(ui().windowAlive);
        EXPECT_EQ(ui().quitCode, 0);
        EXPECT_EQ(ui().workersStarted, 1);  // no cycle after Exit
    }
}

// The save when the window is destroyed, and not before: tests/e2e/signals.sh.
// Without a window nothing touches the file, not even its read-only mark.
TEST_F(ShellTest, NoWindowNoSettingsFileTouched) {
    write_file(ini(), "[Base]\r\nallusage=50\r\n");
    set_read_only(ini());
    ui().createFails = true;
    start();
    EXPECT_EQ(settings.allusage.get(), 95);
    EXPECT_TRUE(is_read_only(ini()));
}

// The application running, driven from its tray icon, its menu and its dialogs.
class MenuAndDialogsTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        start();
    }
    // Opens a dialog, runs the actions inside it, returns its final state.
    static fake::DialogState open(const std::function<void(Handle)>& actions, uint32_t cmd = CMD_SETTINGS) {
        Handle handle = nullptr;
        fake::ui().whileDialogOpen = [&](Handle dlg, int) { actions(handle = dlg); };
        command(cmd);
        return fake::dialog(handle);
    }
    static void press(Handle dlg, uintptr_t id) { platform::send_message(dlg, platform::kMsgCommand, id, 0); }
    static void type(Handle dlg, int id, const std::string& text) { fake::dialog(dlg).texts[id] = text; }
};

// The three switches' checks are shown in two states in which each pair of
// them differs once.
TEST_F(MenuAndDialogsTest, EitherButtonOpensTheMenuWhoseChecksFollowTheSwitches) {
    settings.allinfoenable.set(0);
    const std::vector<std::string> first = {
        "40004 0 設定", "0 2048 ", "40011 8 全体警告　有効/無効", "40012 0 全体お知らせ　有効/無効",
        "40013 8 個別警告　有効/無効", "0 2048 ", "40005 0 バージョン情報", "40003 0 終了"};
    notify(platform::kMsgLButtonUp);
    EXPECT_EQ(fake::ui().lastMenu, first);  // its items as "id flags text"
    fake::ui().menuChoice = CMD_TOGGLE_TOTAL_WARNING;
    notify(platform::kMsgRButtonUp);
    EXPECT_EQ(fake::ui().lastMenu, first);  // built before the choice
    EXPECT_EQ(fake::ui().menusDestroyed, 2);
    command(CMD_TOGGLE_TOTAL_NOTICE | (1u << 16));  // only the low 16 bits count
    command(CMD_TOGGLE_PROCESS_WARNING);
    command(CMD_TOGGLE_TOTAL_WARNING);
    EXPECT_EQ(settings.allenable.get() * 100 + settings.allinfoenable.get() * 10 + settings.eachenable.get(), 110);
    for (uintptr_t unknown : {0u, 1u, 40000u, 40006u, 40014u}) command(unknown);
    EXPECT_EQ(settings.allenable.get() * 100 + settings.allinfoenable.get() * 10 + settings.eachenable.get(), 110);
    EXPECT_EQ(cycleState.exitPending, 0);
}

TEST_F(MenuAndDialogsTest, EachDialogHasOneInstanceAndBothCanBeOpen) {
    fake::ui().whileDialogOpen = [](platform::WindowHandle, int templateId) {
        command(CMD_SETTINGS);
        command(CMD_ABOUT);
        if (templateId == kSettingsDialogTemplate) notify(platform::kMsgLButtonDblClk);
    };
    command(CMD_SETTINGS);
    EXPECT_EQ(fake::ui().dialogsOpened, (std::vector<int>{kSettingsDialogTemplate, kAboutDialogTemplate}));
    EXPECT_EQ(fake::ui().foregrounded.size(), 3u);  // the open settings dialog, brought forward
    EXPECT_EQ(openSettingsDialog, nullptr);  // and the About box's mark: the Qt test
}

TEST_F(MenuAndDialogsTest, SettingsShowTheCurrentValuesAndOkCommitsEveryField) {
    settings.allinfocnt.set(10);  // beyond the list: no selection
    open([](Handle dlg) {
        const fake::DialogState& d = fake::dialog(dlg);
        EXPECT_EQ(openSettingsDialog, dlg);
        EXPECT_EQ(d.texts, (std::map<int, std::string>{{IDC_ALLUSAGE, "95"}, {IDC_ALLUSAGEINFO, "80"},
                                                       {IDC_EACHUSAGE, "80"}, {IDC_INTERVALSEC, "5"},
                                                       {IDC_IGNOREPROC, ""}, {IDC_LOGFILENAME, ""}}));
        EXPECT_EQ(d.checks, (std::map<int, int>{{1674, 1}, {1675, 1}, {1676, 1}, {1677, 0}}));
        EXPECT_EQ(d.lists.at(IDC_ALLCOUNT),
                  (std::vector<std::string>{" 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8", " 9", "10"}));
        EXPECT_EQ(d.selections, (std::map<int, int>{{IDC_ALLCOUNT, 0}, {IDC_ALLINFOCNT, -1}}));

        type(dlg, IDC_ALLUSAGE, "1000");      // three bytes are read: 100
        type(dlg, IDC_ALLUSAGEINFO, " +7");
        type(dlg, IDC_INTERVALSEC, "36000");  // four bytes: 3600
        type(dlg, IDC_IGNOREPROC, "a.exe,b.exe");
        type(dlg, IDC_LOGFILENAME, "/" + std::string(300, 'p'));
        platform::list_select(dlg, IDC_ALLCOUNT, 9);
        platform::check_button(dlg, IDC_ALLENABLE, 0);
        platform::check_button(dlg, IDC_WRITELOGFILE, 1);
        press(dlg, kIdOk | (1u << 16));  // with a notification code: ignored
        EXPECT_FALSE(fake::dialog(dlg).ended);
        press(dlg, kIdOk);
    });
    EXPECT_TRUE(fake::ui().messageBoxes.empty());
    EXPECT_EQ(settings.allusage.get() + settings.allusageinfo.get() + settings.eachusage.get(), 187);
    EXPECT_EQ(settings.intervalsec.get(), 3600);
    EXPECT_EQ(settings.ignoreproc.get(), "a.exe,b.exe");
    EXPECT_EQ(settings.logfilename.get(), "/" + std::string(253, 'p'));  // 254 bytes
    EXPECT_EQ(settings.allcount.get() * 10 + settings.allinfocnt.get(), 89);  // 9 and -1
    EXPECT_EQ(settings.allenable.get() * 10 + settings.writelogfile.get(), 1);
    EXPECT_EQ(fake::ui().timerLog.back(), (std::pair<uintptr_t, uint32_t>{MonitorTimer, 3600000}));
}

TEST_F(MenuAndDialogsTest, RefusedValuesKeepTheDialogOpenAndChangeOnlyTheLogName) {
    const std::string percent = "1～100の間で指定してください", interval = "1～3600の間で指定してください";
    const std::pair<std::vector<std::pair<int, std::string>>, std::string> cases[] = {
        {{{IDC_ALLUSAGE, "0"}}, percent},
        {{{IDC_ALLUSAGEINFO, ""}}, percent},
        {{{IDC_EACHUSAGE, "１"}}, percent},  // a full-width digit is no digit
        {{{IDC_ALLUSAGE, "101"}, {IDC_EACHUSAGE, "0"}}, percent},  // one message for two
        {{{IDC_INTERVALSEC, "50000"}}, interval},
        {{{IDC_ALLUSAGE, "0"}, {IDC_INTERVALSEC, "0"}}, percent},  // the interval waits its turn
    };
    for (const auto& [fields, message] : cases) {
        SCOPED_TRACE(fields.front().second);
        restart();
        const auto timers = fake::ui().timerLog;
        open([&](Handle dlg) {
            for (const auto& [id, text] : fields) type(dlg, id, text);
            type(dlg, IDC_LOGFILENAME, "new.log");
            platform::check_button(dlg, IDC_ALLENABLE, 0);
            press(dlg, kIdOk);
            EXPECT_FALSE(fake::dialog(dlg).ended);
            press(dlg, kIdCancel);
        });
        EXPECT_EQ(fake::ui().messageBoxes, (decltype(fake::Ui::messageBoxes){{message, "out of range"}}));
        EXPECT_EQ(settings.logfilename.get(), "new.log");  // taken before the checks
        EXPECT_EQ(settings.allenable.get() + settings.allusage.get() + settings.intervalsec.get(), 101);
        EXPECT_EQ(fake::ui().timerLog, timers);
    }
}

TEST_F(MenuAndDialogsTest, ChooserOpensEmptyAndOnlyAnAcceptedPathReplacesTheField) {
    const auto d = open([](Handle dlg) {
        type(dlg, IDC_LOGFILENAME, "typed.log");
        logFileChooser.file[0] = 'x';
        press(dlg, IDC_CHOOSELOG);  // cancelled
        EXPECT_EQ(logFileChooser.file[0], '\0');
        EXPECT_EQ(fake::dialog(dlg).texts[IDC_LOGFILENAME], "typed.log");
        fake::ui().chooserResult = "/var/log/cpu.log";
        press(dlg, IDC_CHOOSELOG);
        platform::send_message(dlg, platform::kMsgClose, 0, 0);  // the close box
    });
    EXPECT_EQ(d.texts.at(IDC_LOGFILENAME), "/var/log/cpu.log");
    EXPECT_EQ(settings.logfilename.get(), "");  // untouched until OK
}

}  // namespace
}  // namespace vantrel::test
