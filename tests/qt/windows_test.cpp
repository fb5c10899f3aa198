// The window model: timers with the Windows rules, the destruction of a
// window, and the quit that ends every loop.
#include <QApplication>

#include <thread>

#include "shell/app_ids.h"
#include "tests/qt/qt_fixture.h"

namespace vantrel::test {

using WindowsTest = QtTest;

TEST_F(WindowsTest, ATimerRepeatsUntilKilled) {
    platform::set_timer(main_, 5, 15);
    ASSERT_TRUE(run_until([] { return count(platform::WM_TIMER, 5) >= 3; }));
    platform::kill_timer(main_, 5);
    const int fired = count(platform::WM_TIMER, 5);
    run_until([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(count(platform::WM_TIMER, 5), fired);
}

TEST_F(WindowsTest, ArmingAnArmedTimerReplacesItsExpiry) {
    platform::set_timer(main_, 6, 60000);
    platform::set_timer(main_, 6, 20);
    EXPECT_TRUE(run_until([] { return count(platform::WM_TIMER, 6) > 0; }, std::chrono::seconds(3)));
    platform::kill_timer(main_, 6);
}

TEST_F(WindowsTest, ATimerArmedFromAnotherThreadFires) {
    std::thread([this] { platform::set_timer(main_, BalloonIconTimer, 10); }).join();
    EXPECT_TRUE(run_until([] { return count(platform::WM_TIMER, BalloonIconTimer) > 0; }));
    platform::kill_timer(main_, BalloonIconTimer);
}

TEST_F(WindowsTest, ADestroyedWindowGetsNoMessagesAndNoTimers) {
    platform::set_timer(main_, 7, 10);
    platform::send_message(main_, platform::WM_CLOSE, 0, 0);
    EXPECT_EQ(count(platform::WM_DESTROY, 0), 1);
    platform::set_timer(main_, 8, 10);
    messages().clear();
    run_until([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(platform::send_message(main_, platform::WM_COMMAND, CMD_ABOUT, 0), 0);
    EXPECT_TRUE(messages().empty());
}

// The quit also ends the loops of open dialogs, so the program can end
// while one is open.
TEST_F(WindowsTest, TheQuitEndsTheLoopWithItsCodeAndEveryDialogLoop) {
    bool aboutReturned = false;
    later([&] {
        platform::send_message(main_, platform::WM_COMMAND, CMD_ABOUT, 0);
        aboutReturned = true;
    });
    when_shown(titled(QStringLiteral("バージョン情報")), [](QWidget*) { platform::post_quit_message(7); });
    EXPECT_EQ(platform::run_message_loop(), 7);
    EXPECT_TRUE(aboutReturned);
}

}  // namespace vantrel::test
