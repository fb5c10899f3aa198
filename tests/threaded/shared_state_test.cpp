// The state shared by the user-interface thread and the worker: settings
// read while they are replaced, and the tray icon entered from both sides.
#include <atomic>
#include <thread>

#include "alerts/tray_icon.h"
#include "settings/settings_table.h"
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
            settings.allusage.set(i % 100);
        }
        done = true;
    });
    for (int reads = 0; !done || reads < 1000; ++reads) {
        char copy[256];
        settings.ignoreproc.copy_to(copy, sizeof copy);
        ASSERT_TRUE(copy == a || copy == b);
        ASSERT_LT(static_cast<uint32_t>(settings.allusage.get()), 100u);
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

}  // namespace
}  // namespace vantrel::test
