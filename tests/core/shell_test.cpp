// The application shell's state machine: start-up, ticks, the worker, the
// exit sequence and the close of the main window.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "alerts/tray_icon.h"
#include "monitor/process_table.h"
#include "settings/settings_table.h"
#include "shell/app_ids.h"
#include "shell/main_window.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

using Arming = std::pair<uintptr_t, uint32_t>;

class ShellTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        fake::system().processes = {"a.exe"};
        fake::system().readings["\\Processor(_Total)\\% Processor Time"] = 12;
    }
    void start() { ASSERT_EQ(run_application(nullptr), 0); }
    static fake::Ui& ui() { return fake::ui(); }
    static void command(uint32_t id) {
        platform::send_message(fake::main_window_handle(), platform::WM_COMMAND, id, 0);
    }
    static void close_from_outside() {
        platform::send_message(fake::main_window_handle(), platform::WM_CLOSE, 0, 0);
    }
};

TEST_F(ShellTest, FirstCycleComesAfter100msWhateverTheInterval) {
    write_file(path("Vantrel.ini"), "[Base]\r\nintervalsec=60\r\n");
    start();
    EXPECT_EQ(ui().timerLog, (std::vector<Arming>{{MonitorTimer, 100}}));
    ASSERT_TRUE(fake::fire_timer(MonitorTimer));
    EXPECT_EQ(ui().workersStarted, 1);
    EXPECT_EQ(ui().armedTimers[MonitorTimer], 60000u);
    EXPECT_EQ(processTable.slots[kTotalSlot].usage, 12);  // the cycle ran
}

TEST_F(ShellTest, StartShowsThePermanentIconOnlyWhenAskedTo) {
    start();
    ASSERT_EQ(icon_requests().size(), 1u);
    EXPECT_EQ(icon_requests()[0].request, platform::NIM_ADD);
    EXPECT_STREQ(icon_requests()[0].record.szTip, "Vantrel");
    EXPECT_EQ(icon_requests()[0].record.hWnd, fake::main_window_handle());

    restart();
    write_file(path("Vantrel.ini"), "[Base]\r\ndisptrayicon=0\r\n");
    start();
    EXPECT_TRUE(icon_requests().empty());
}

TEST_F(ShellTest, ATickWhileBusyStartsNoSecondWorker) {
    ui().runWorkersInline = false;
    start();
    fake::fire_timer(MonitorTimer);
    EXPECT_EQ(ui().workersStarted, 1);
    EXPECT_EQ(cycleState.busy, 1);  // set before the thread runs
    fake::fire_timer(MonitorTimer);
    EXPECT_EQ(ui().workersStarted, 1);
    EXPECT_EQ(ui().armedTimers[MonitorTimer], 5000u);
    fake::run_pending_worker();
    EXPECT_EQ(cycleState.busy, 0);
    fake::fire_timer(MonitorTimer);
    EXPECT_EQ(ui().workersStarted, 2);
}

TEST_F(ShellTest, AWorkerThatCannotStartIsRetriedAtTheNextTick) {
    ui().workerStartFails = true;
    start();
    fake::fire_timer(MonitorTimer);
    EXPECT_EQ(cycleState.busy, 0);
    ui().workerStartFails = false;
    fake::fire_timer(MonitorTimer);
    EXPECT_EQ(ui().workersStarted, 1);
}

TEST_F(ShellTest, ExitWhileNoCycleRunsEndsAtThe600msTick) {
    start();
    fake::fire_timer(MonitorTimer);
    command(CMD_EXIT);
    EXPECT_EQ(icon_requests().back().request, platform::NIM_DELETE);  // at once
    EXPECT_EQ(ui().armedTimers[MonitorTimer], 600u);
    EXPECT_EQ(cycleState.exitPending, 1);
    ASSERT_TRUE(fake::fire_timer(MonitorTimer));
    EXPECT_FALSE(ui().windowAlive);
    EXPECT_EQ(ui().quitCode, 0);
    EXPECT_EQ(ui().workersStarted, 1);  // no cycle after Exit
    EXPECT_TRUE(ui().armedTimers.empty());
    EXPECT_TRUE(exists(path("Vantrel.ini")));
}

TEST_F(ShellTest, ExitWhileACycleRunsWaitsForTheFirstTickWithoutOne) {
    ui().runWorkersInline = false;
    start();
    fake::fire_timer(MonitorTimer);
    command(CMD_EXIT);
    fake::fire_timer(MonitorTimer);  // the 600 ms tick: the cycle still runs
    EXPECT_TRUE(ui().windowAlive);
    EXPECT_EQ(ui().armedTimers[MonitorTimer], 5000u);
    EXPECT_EQ(ui().workersStarted, 1);
    fake::run_pending_worker();
    fake::fire_timer(MonitorTimer);
    EXPECT_FALSE(ui().windowAlive);
    EXPECT_EQ(ui().workersStarted, 1);
    EXPECT_EQ(ui().quitCode, 0);
}

TEST_F(ShellTest, BalloonIconTimerAfterExitSendsNothing) {
    write_file(path("Vantrel.ini"), "[Base]\r\ndisptrayicon=0\r\nallusage=10\r\n");
    start();
    fake::fire_timer(MonitorTimer);  // the total of 12 raises a warning
    ASSERT_TRUE(icon_shown());
    EXPECT_EQ(ui().armedTimers.count(BalloonIconTimer), 1u);
    command(CMD_EXIT);
    clear_icon_requests();
    fake::fire_timer(BalloonIconTimer);
    EXPECT_TRUE(icon_requests().empty());
    EXPECT_EQ(ui().armedTimers.count(BalloonIconTimer), 0u);
}

TEST_F(ShellTest, BalloonIconTimerRemovesTheTemporaryIcon) {
    write_file(path("Vantrel.ini"), "[Base]\r\ndisptrayicon=0\r\nallusage=10\r\n");
    start();
    fake::fire_timer(MonitorTimer);
    clear_icon_requests();
    fake::fire_timer(BalloonIconTimer);
    ASSERT_EQ(icon_requests().size(), 1u);
    EXPECT_EQ(icon_requests()[0].request, platform::NIM_DELETE);
    EXPECT_FALSE(fake::fire_timer(BalloonIconTimer));  // one-shot
}

TEST_F(ShellTest, SettingsAreSavedOnceWhenTheWindowIsDestroyed) {
    start();
    settings.allenable.set(0);
    EXPECT_FALSE(exists(path("Vantrel.ini")));  // nothing written while running
    close_from_outside();
    EXPECT_FALSE(ui().windowAlive);
    EXPECT_EQ(ui().quitCode, 0);
    ASSERT_TRUE(exists(path("Vantrel.ini")));
    EXPECT_NE(read_file(path("Vantrel.ini")).find("allenable=0\r\n"), std::string::npos);
    std::remove(path("Vantrel.ini").c_str());
    close_from_outside();
    fake::fire_timer(MonitorTimer);
    EXPECT_FALSE(exists(path("Vantrel.ini")));
}

TEST_F(ShellTest, NoWindowMeansNoSettingsFileTouched) {
    write_file(path("Vantrel.ini"), "[Base]\r\nallusage=50\r\n");
    ::chmod(path("Vantrel.ini").c_str(), 0444);
    ui().registerFails = true;
    EXPECT_EQ(run_application(nullptr), 0);
    ui().registerFails = false;
    ui().createFails = true;
    EXPECT_EQ(run_application(nullptr), 0);
    EXPECT_EQ(settings.allusage.get(), 95);
    struct stat st {};
    ::stat(path("Vantrel.ini").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0444u);  // not even the read-only mark was cleared
}

TEST_F(ShellTest, UnknownCommandsAndMessagesChangeNothing) {
    start();
    const auto timers = ui().timerLog;
    for (uint32_t id : {0u, 1u, 40000u, 40006u, 40014u, 0xFFFFu}) command(id);
    // Only the low 16 bits name the command: a notification code is ignored.
    command((1u << 16) | CMD_TOGGLE_TOTAL_NOTICE);
    EXPECT_EQ(settings.allinfoenable.get(), 0);
    EXPECT_EQ(settings.allenable.get(), 1);
    EXPECT_EQ(settings.eachenable.get(), 1);
    EXPECT_EQ(cycleState.exitPending, 0);
    EXPECT_EQ(ui().timerLog, timers);
    EXPECT_TRUE(ui().dialogsOpened.empty());
    platform::send_message(fake::main_window_handle(), platform::WM_TIMER, 999, 0);
    EXPECT_EQ(ui().workersStarted, 0);
}

}  // namespace
}  // namespace vantrel::test
