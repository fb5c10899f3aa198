// The real shell running real monitor cycles over /proc on worker threads
// while the user-interface thread keeps changing what the cycles read.
#include <chrono>
#include <thread>

#include "settings/settings_table.h"
#include "shell/app_ids.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

using ShellCyclesTest = CoreTest;

TEST_F(ShellCyclesTest, UserChangesDuringRealCycles) {
    write_file(path("Vantrel.ini"), "[Base]\r\nintervalsec=1\r\nwritelogfile=1\r\ndisptrayicon=0\r\nallusage=0\r\n"
                                    "allusageinfo=0\r\neachusage=0\r\n");
    fake::ui().threadedWorkers = true;
    ASSERT_EQ(run_application(nullptr), 0);

    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(2500);
    for (int round = 0; std::chrono::steady_clock::now() < until; ++round) {
        if (round % 20 == 0) fake::fire_timer(MonitorTimer);  // starts a cycle unless one runs
        if (round % 50 == 0) fake::fire_timer(BalloonIconTimer);
        send(platform::kMsgCommand, CMD_TOGGLE_TOTAL_WARNING + static_cast<uint32_t>(round % 3));
        settings.ignoreproc.set(round % 2 ? "bash,init" : std::string(100, 'x') + ",sh");
        settings.logfilename.set(path(round % 2 ? "a.log" : "b.log"));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    send(platform::kMsgCommand, CMD_EXIT);
    const int startedBeforeExit = fake::ui().workersStarted;
    while (fake::ui().windowAlive) {
        fake::fire_timer(MonitorTimer);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    fake::join_workers();

    EXPECT_GE(fake::ui().workersStarted, 2);
    EXPECT_EQ(fake::ui().workersStarted, startedBeforeExit);  // no cycle after Exit
    EXPECT_EQ(fake::ui().quitCode, 0);
    // Each cycle logged its line to whichever file was named at the time.
    EXPECT_GE(read_file(path("a.log")).size() + read_file(path("b.log")).size(), 2 * 20u);
}

}  // namespace
}  // namespace vantrel::test
