// The way tray requests reach the presentation: in order from the worker
// thread, in order with the user-interface thread's own, never for a window
// that is gone; the terminal's lines; the click translation.
#include <QApplication>
#include <QStyleHints>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/qt/message_loop.h"
#include "platform/qt/terminal_presentation.h"
#include "platform/qt/tray_clicks.h"
#include "shell/app_ids.h"
#include "tests/qt/qt_fixture.h"

namespace vantrel::test {

namespace {

// The window that the worker's requests name.
platform::WindowHandle requestsFor = nullptr;

platform::IconRecord icon_record() {
    platform::IconRecord record{};
    record.hWnd = requestsFor;
    record.uID = kTrayIconId;
    record.uFlags = platform::NIF_MESSAGE | platform::NIF_ICON | platform::NIF_TIP;
    record.uCallbackMessage = WM_TRAYNOTIFY;
    record.hIcon = platform::load_icon(nullptr, kIconResource);
    std::strcpy(record.szTip, "Vantrel");
    return record;
}

void add_icon_request() { platform::notify_icon(platform::NIM_ADD, icon_record()); }

// What a worker's cycles ask for: an add, many tooltips, a balloon, the
// balloon timer, a remove.
void many_requests() {
    platform::notify_icon(platform::NIM_ADD, icon_record());
    for (int i = 0; i < 200; ++i) {
        platform::IconRecord tip = icon_record();
        tip.uFlags = platform::NIF_TIP;
        std::snprintf(tip.szTip, sizeof tip.szTip, "Vantrel [ %d%% ]", i);
        platform::notify_icon(platform::NIM_MODIFY, tip);
    }
    platform::IconRecord balloon = icon_record();
    balloon.uFlags = platform::NIF_INFO;
    std::strcpy(balloon.szInfoTitle, "CPU使用率 の警告！");
    std::strcpy(balloon.szInfo, "CPU使用率が 99% に達しました");
    balloon.dwInfoFlags = platform::NIIF_WARNING;
    platform::notify_icon(platform::NIM_MODIFY, balloon);
    platform::set_timer(requestsFor, BalloonIconTimer, 10);
    platform::notify_icon(platform::NIM_DELETE, icon_record());
}

std::string read_all(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    return text;
}

}  // namespace

using PresentationTest = QtTest;

TEST_F(PresentationTest, WorkerRequestsArriveInOrderOnTheUserInterfaceThread) {
    requestsFor = main_;
    ASSERT_TRUE(platform::start_worker(many_requests));
    ASSERT_TRUE(run_until([this] {
        return presentation_.calls.size() == 203 && count(platform::WM_TIMER, BalloonIconTimer) > 0;
    }));
    qt::join_worker();
    platform::kill_timer(main_, BalloonIconTimer);

    const std::vector<std::string>& calls = presentation_.calls;
    EXPECT_EQ(calls.front(), "add 1 1124 icon Vantrel");
    for (int i = 0; i < 200; ++i) EXPECT_EQ(calls[1 + i], "tooltip Vantrel [ " + std::to_string(i) + "% ]");
    EXPECT_EQ(calls[201], "balloon 2 CPU使用率 の警告！ / CPU使用率が 99% に達しました");
    EXPECT_EQ(calls[202], "remove");
}

TEST_F(PresentationTest, ARequestOfThisThreadRunsAfterThoseQueuedBeforeIt) {
    requestsFor = main_;
    ASSERT_TRUE(platform::start_worker(add_icon_request));
    qt::join_worker();  // queued, and no event handled since
    EXPECT_TRUE(presentation_.calls.empty());

    platform::notify_icon(platform::NIM_DELETE, icon_record());
    EXPECT_EQ(presentation_.calls, (std::vector<std::string>{"add 1 1124 icon Vantrel", "remove"}));
}

TEST_F(PresentationTest, RequestsForAWindowThatIsGoneChangeNothing) {
    requestsFor = main_;
    platform::send_message(main_, platform::WM_CLOSE, 0, 0);
    add_icon_request();
    requestsFor = reinterpret_cast<platform::WindowHandle>(uintptr_t{0xBAD});
    add_icon_request();
    QApplication::processEvents();
    EXPECT_TRUE(presentation_.calls.empty());
}

TEST(TerminalPresentation, WritesOneLinePerTooltipAndBalloon) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    qt::TerminalPresentation terminal(out);
    terminal.add({}, nullptr, "Vantrel");
    terminal.set_tooltip("Vantrel [ 7% ]");
    terminal.show_balloon("CPU使用率 の警告！", "line\r\nbreak\tand tab", platform::NIIF_WARNING);
    terminal.show_balloon("お知らせ", "CPU使用率は 80% です", platform::NIIF_INFO);
    terminal.remove();
    EXPECT_EQ(read_all(out),
              "tooltip\tVantrel [ 7% ]\n"
              "warning\tCPU使用率 の警告！\tline  break and tab\n"
              "notice\tお知らせ\tCPU使用率は 80% です\n");
    std::fclose(out);
}

TEST(TrayClicks, HoldBackALeftClickThatADoubleClickFollows) {
    std::vector<uint32_t> sent;
    qt::TrayClicks clicks([&sent](uint32_t mouse) { sent.push_back(mouse); });

    clicks.activated(QSystemTrayIcon::Trigger);
    clicks.activated(QSystemTrayIcon::DoubleClick);
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100);
    EXPECT_EQ(sent, std::vector<uint32_t>{platform::WM_LBUTTONDBLCLK});

    sent.clear();
    clicks.activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(QTest::qWaitFor([&sent] { return !sent.empty(); }, 3000));
    EXPECT_EQ(sent, std::vector<uint32_t>{platform::WM_LBUTTONUP});

    sent.clear();
    clicks.activated(QSystemTrayIcon::Trigger);
    clicks.activated(QSystemTrayIcon::Context);
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100);
    EXPECT_EQ(sent, std::vector<uint32_t>{platform::WM_RBUTTONUP});
}

}  // namespace vantrel::test
