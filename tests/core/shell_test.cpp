// The application shell's state machine: start-up, ticks, the worker, the
// temporary icon's timer, the exit sequence and the close of the main window.
#include "monitor/process_table.h"
#include "settings/settings_table.h"
#include "shell/app_ids.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

using Kinds = std::vector<uint32_t>;

class ShellTest : public CoreTest {
protected:
    void start(const std::string& lines = "") {
        if (!lines.empty()) write_file(ini(), "[Base]\r\n" + lines);
        fake::system().readings["\\Processor(_Total)\\% Processor Time"] = 12;
        ASSERT_EQ(run_application(nullptr), 0);
    }
    static fake::Ui& ui() { return fake::ui(); }
    static intptr_t hand_over() {
        return platform::send_message(fake::main_window_handle(), platform::kMsgHandOver, 0, 0);
    }
};

TEST_F(ShellTest, StartLoadsSettingsShowsTheIconAndTicksAfter100ms) {
    start("intervalsec=60\r\n");
    EXPECT_EQ(ui().timerLog, (fake::TimerLog{{MonitorTimer, 100}}));
    EXPECT_EQ(request_kinds(), Kinds{platform::kIconAdd});
    fake::fire_timer(MonitorTimer);
    EXPECT_EQ(processTable.slots[kTotalSlot].usage, 12);  // the cycle ran
    EXPECT_EQ(ui().armedTimers[MonitorTimer], 60000u);
    // A notification area made anew gets the icon again, as long as it is shown.
    clear_icon_requests();
    send(platform::kMsgNotificationAreaCreated);
    EXPECT_EQ(request_kinds(), Kinds{platform::kIconAdd});
    EXPECT_STREQ(icon_requests().at(0).record.szTip, "Vantrel");

    // Without the permanent icon a balloon brings the temporary one, which
    // its one-shot timer takes away.
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
        EXPECT_EQ(hand_over(), 1);
        send(platform::kMsgCommand, CMD_EXIT);
        EXPECT_EQ(icon_requests().back().request, platform::kIconDelete);  // at once
        EXPECT_EQ(ui().armedTimers[MonitorTimer], 600u);
        fake::fire_timer(MonitorTimer);
        EXPECT_EQ(ui().windowAlive, cycleRunning);
        // Once Exit is under way a second start is refused, and no command
        // is carried out: no dialog opens and a repeated Exit does not put
        // the close off.
        EXPECT_EQ(hand_over(), 0);
        const uint32_t pendingTick = ui().armedTimers[MonitorTimer];
        for (uintptr_t command : {CMD_SETTINGS, CMD_ABOUT, CMD_TOGGLE_TOTAL_WARNING, CMD_EXIT})
            send(platform::kMsgCommand, command);
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

}  // namespace
}  // namespace vantrel::test
