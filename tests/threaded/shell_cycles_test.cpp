// The real shell running real monitor cycles over /proc on worker threads
// while the user-interface thread keeps changing what the cycles read.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "monitor/process_table.h"
#include "settings/settings_table.h"
#include "shell/app_ids.h"
#include "shell/main_window.h"
#include "tests/fakes/fake_ui.h"
#include "tests/fakes/fake_system.h"

namespace vantrel::test {
namespace {

TEST(ShellCyclesTest, UserChangesDuringRealCycles) {
    char templ[] = "/tmp/vantrel-threaded-XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    const std::string dir = templ;
    fake::system().executablePath = dir + "/vantrel";
    {
        std::ofstream ini(dir + "/Vantrel.ini", std::ios::binary);
        ini << "[Base]\r\nintervalsec=1\r\nwritelogfile=1\r\ndisptrayicon=0\r\nallusage=0\r\n"
               "allusageinfo=0\r\neachusage=0\r\n";
    }
    fake::reset_ui();
    fake::ui().threadedWorkers = true;
    ASSERT_EQ(run_application(nullptr), 0);

    const auto command = [](uint32_t id) { platform::send_message(fake::main_window_handle(), platform::kMsgCommand, id, 0); };
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(2500);
    int round = 0;
    while (std::chrono::steady_clock::now() < until) {
        if (round % 20 == 0) fake::fire_timer(MonitorTimer);  // starts a cycle unless one runs
        if (round % 50 == 0) fake::fire_timer(BalloonIconTimer);
        command(CMD_TOGGLE_TOTAL_WARNING + static_cast<uint32_t>(round % 3));
        settings.ignoreproc.set(round % 2 ? "bash,init" : std::string(100, 'x') + ",sh");
        settings.logfilename.set(dir + (round % 2 ? "/a.log" : "/b.log"));
        ++round;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    command(CMD_EXIT);
    while (fake::ui().windowAlive) {
        fake::fire_timer(MonitorTimer);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    fake::join_workers();

    EXPECT_GE(round, 100);
    EXPECT_GE(fake::ui().workersStarted, 2);
    EXPECT_EQ(fake::ui().quitCode, 0);
    // Each cycle logged its line to whichever file was named at the time.
    std::uintmax_t logged = 0;
    for (const char* name : {"/a.log", "/b.log"}) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(dir + name, ec);
        if (!ec) logged += size;
    }
    EXPECT_GE(logged, 2 * 20u);
    std::filesystem::remove_all(dir);
    reset_to_defaults(settings);
}

}  // namespace
}  // namespace vantrel::test
