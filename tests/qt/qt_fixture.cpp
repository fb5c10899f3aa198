#include "tests/qt/qt_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>

#include "monitor/process_table.h"
#include "settings/settings_table.h"
#include "shell/about_dialog.h"
#include "shell/app_ids.h"
#include "shell/settings_dialog.h"
#include "shell/tray_menu.h"

namespace vantrel::test {

namespace {

std::vector<Message> received;

// The main window of the tests: records, and hands commands and tray
// notifications to the shell as main_window_proc does.
intptr_t recording_proc(platform::WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    received.push_back({message, wparam, lparam});
    switch (message) {
        case WM_TRAYNOTIFY:
            handle_tray_notify(wparam, lparam);
            return 0;
        case platform::WM_COMMAND:
            return handle_command(wparam, lparam);
        default:
            return platform::default_window_proc(window, message, wparam, lparam);
    }
}

std::string text(std::string_view s) { return std::string(s); }

}  // namespace

void RecordingPresentation::add(const qt::IconTarget& target, platform::IconHandle icon, std::string_view tooltip) {
    calls.push_back("add " + std::to_string(target.iconId) + " " + std::to_string(target.message) + " " +
                    (icon != nullptr ? "icon " : "no-icon ") + text(tooltip));
}

void RecordingPresentation::remove() { calls.push_back("remove"); }

void RecordingPresentation::set_tooltip(std::string_view tip) { calls.push_back("tooltip " + text(tip)); }

void RecordingPresentation::show_balloon(std::string_view title, std::string_view body, uint32_t kind) {
    calls.push_back("balloon " + std::to_string(kind) + " " + text(title) + " / " + text(body));
}

void QtTest::SetUp() {
    reset_to_defaults(settings);
    cycleState.busy = 0;
    cycleState.exitPending = 0;
    openSettingsDialog = nullptr;
    aboutOpen = 0;
    received.clear();
    qt::use_presentation(&presentation_);
    ASSERT_TRUE(platform::register_main_window_class(nullptr, recording_proc));
    main_ = platform::create_main_window(nullptr);
    ASSERT_NE(main_, nullptr);
    mainWindow = main_;
    prepare_file_chooser();
}

void QtTest::TearDown() {
    platform::send_message(main_, platform::WM_CLOSE, 0, 0);
    qt::use_presentation(nullptr);
    QApplication::processEvents();
}

std::vector<Message>& QtTest::messages() { return received; }

int QtTest::count(uint32_t message, uintptr_t wparam) {
    int n = 0;
    for (const Message& m : received) n += m.message == message && m.wparam == wparam ? 1 : 0;
    return n;
}

bool QtTest::run_until(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limit.count()) return false;
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

void QtTest::later(std::function<void()> action) {
    QTimer::singleShot(0, QApplication::instance(), std::move(action));
}

void QtTest::when_shown(Match match, std::function<void(QWidget*)> act) {
    // Looks every 10 ms; gives up after 10 s so that a failing test cannot
    // hang. The poll stops before act runs, since act may wait in a loop.
    auto* poll = new QTimer(QApplication::instance());
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, tries, match, act] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && match(widget)) {
                poll->stop();
                poll->deleteLater();
                act(widget);
                return;
            }
        }
        if (++*tries > 1000) {
            ADD_FAILURE() << "the expected window did not appear";
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start(10);
}

QtTest::Match QtTest::titled(const QString& title) {
    return [title](QWidget* widget) { return widget->windowTitle() == title; };
}

QWidget* QtTest::window_titled(const QString& title) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowTitle() == title) return widget;
    }
    return nullptr;
}

int QtTest::windows_titled(const QString& title) {
    int n = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) n += widget->isVisible() && widget->windowTitle() == title;
    return n;
}

}  // namespace vantrel::test
