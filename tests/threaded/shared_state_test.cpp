// The state shared by the user-interface thread and the worker: settings
// read while they are replaced, and the tray icon entered from both sides.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "alerts/tray_icon.h"
#include "settings/settings_table.h"
#include "shell/app_ids.h"
#include "tests/fakes/fake_ui.h"

namespace vantrel::test {
namespace {

TEST(SharedStateTest, AReaderNeverSeesHalfOfAText) {
    const std::string a(200, 'a');
    const std::string b = "b,b";
    settings.ignoreproc.set(b);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i) {
            settings.ignoreproc.set(i % 2 ? a : b);
            settings.allusage.set(i % 100);
        }
        done = true;
    });
    int reads = 0;
    while (!done || reads < 1000) {
        char copy[256];
        settings.ignoreproc.copy_to(copy, sizeof copy);
        const std::string seen = copy;
        ASSERT_TRUE(seen == a || seen == b) << seen.size();
        const int32_t v = settings.allusage.get();
        ASSERT_TRUE(v >= 0 && v < 100);
        ++reads;
    }
    writer.join();
    reset_to_defaults(settings);
}

// A balloon on the worker while the user-interface thread removes the icon:
// adds and removes alternate, and every temporary add arms the timer once.
TEST(SharedStateTest, BalloonsAndRemovalsKeepTheIconConsistent) {
    fake::reset_ui();
    fake::ui().windowAlive = true;
    mainWindow = fake::main_window_handle();
    settings.disptrayicon.set(0);
    remove_icon();

    std::thread worker([] {
        for (int i = 0; i < 2000; ++i) show_balloon("t", "m", platform::NIIF_WARNING);
    });
    for (int i = 0; i < 2000; ++i) remove_icon();
    worker.join();
    remove_icon();

    bool shown = false;
    int adds = 0;
    for (const auto& r : fake::ui().iconRequests) {
        if (r.request == platform::NIM_ADD) {
            ASSERT_FALSE(shown);
            shown = true;
            ++adds;
        } else if (r.request == platform::NIM_DELETE) {
            ASSERT_TRUE(shown);
            shown = false;
        } else {
            ASSERT_TRUE(shown);  // each balloon lands on an icon added for it
        }
    }
    EXPECT_FALSE(shown);
    EXPECT_GE(adds, 1);
    EXPECT_EQ(fake::ui().timerLog.size(), static_cast<std::size_t>(adds));
    reset_to_defaults(settings);
    fake::reset_ui();
}

}  // namespace
}  // namespace vantrel::test
