// The state shared by the user-interface thread and the worker: settings
// read while they are replaced, the tray icon entered from both sides, and
// the real shell running real monitor cycles over /proc on worker threads
// while the user-interface thread keeps changing what the cycles read.
#include <atomic>
#include <chrono>
#include <thread>

#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

using SharedStateTest = CoreTest;

TEST_F(SharedStateTest, AReaderNeverSeesHalfOfAText) {
    const std::string a(200, 'a'), b = "b,b";
    settings.ignoreproc.set(b);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i) {
            settings.ignoreproc.set(i % 2 ? a : b);
        }
        done = true;
    });
    for (int reads = 0; !done || reads < 1000; ++reads) {
        char copy[256];
        settings.ignoreproc.copy_to(copy, sizeof copy);
        ASSERT_TRUE(copy == a || copy == b);
    }
    writer.join();
    settings.ignoreproc.set(std::string(5000, 'z'));  // stored within its capacity
    EXPECT_EQ(settings.ignoreproc.get().size(), StringSetting::kCapacity - 1);
}

// A balloon on the worker while the user-interface thread removes the icon:
// adds and removes alternate, and every temporary add arms the timer once.
TEST_F(SharedStateTest, BalloonsAndRemovalsKeepTheIconConsistent) {
    fake::ui().windowAlive = true;
    settings.disptrayicon.set(0);
    std::thread worker([] {
        for (int i = 0; i < 2000; ++i) show_balloon("t", "m", platform::kBalloonWarning);
    });
    for (int i = 0; i < 2000; ++i) remove_icon();
    worker.join();
    remove_icon();
    bool shown = false;
    std::size_t adds = 0;
    for (const auto& r : icon_requests()) {
        ASSERT_EQ(shown, r.request != platform::kIconAdd);  // a balloon lands on an icon added for it
        shown = r.request != platform::kIconDelete;
        adds += r.request == platform::kIconAdd;
    }
    EXPECT_FALSE(shown);
    EXPECT_EQ(fake::ui().timerLog.size(), adds);
}

TEST_F(SharedStateTest, UserChangesDuringRealCycles) {
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
