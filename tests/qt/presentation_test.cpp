// The Qt presentation on the offscreen platform, driven through the real shell:
// only what the Qt layer can get wrong (the dialogs' logic is tested with fakes).
// The hand-over between threads (HandoverTest) also runs under ThreadSanitizer.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include <algorithm>
#include <cstdio>
#include <thread>

#include "platform/qt/dialog_units.h"
#include "platform/qt/message_loop.h"
#include "platform/qt/terminal_presentation.h"
#include "platform/qt/tray_clicks.h"
#include "resources/dialog_templates.h"
#include "settings/settings_table.h"
#include "shell/about_dialog.h"
#include "shell/app_ids.h"
#include "shell/dialog_ids.h"
#include "shell/settings_dialog.h"
#include "shell/tray_menu.h"

namespace vantrel::test {

namespace {

const QString kSettings = QStringLiteral("設定");
const QString kAbout = QStringLiteral("バージョン情報");

std::vector<std::pair<uint32_t, uintptr_t>> received;

// The main window: records, and hands commands and tray clicks to the shell.
intptr_t recording_proc(platform::WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    received.emplace_back(message, wparam);
    if (message == WM_TRAYNOTIFY) handle_tray_notify(wparam, lparam);
    if (message == platform::WM_COMMAND) handle_command(wparam, lparam);
    return platform::default_window_proc(window, message, wparam, lparam);
}

int count(uint32_t message, uintptr_t wparam) {
    return static_cast<int>(std::count(received.begin(), received.end(), std::pair(message, wparam)));
}

int windows_titled(const QString& title) {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) n += w->isVisible() && w->windowTitle() == title;
    return n;
}

template <typename W>
W* control(QWidget* dialog, int id) { return dialog->findChild<W*>(QString::number(id)); }

void type(QWidget* dialog, int id, const QString& text) {
    control<QLineEdit>(dialog, id)->selectAll();
    QTest::keyClicks(control<QLineEdit>(dialog, id), text);
}

// A tooltip, or a balloon when there is a title; from any thread.
void notify(const std::string& tip, const char* title = "", const char* text = "", uint32_t kind = 0) {
    platform::IconRecord r{};
    r.hWnd = mainWindow;
    r.uFlags = *title != '\0' ? platform::NIF_INFO : platform::NIF_TIP;
    r.dwInfoFlags = kind;
    std::snprintf(r.szTip, sizeof r.szTip, "%s", tip.c_str());
    std::snprintf(r.szInfoTitle, sizeof r.szInfoTitle, "%s", title);
    std::snprintf(r.szInfo, sizeof r.szInfo, "%s", text);
    platform::notify_icon(platform::NIM_MODIFY, r);
}

}  // namespace

// The tray requests are printed by the terminal presentation into a buffer.
class QtTest : public ::testing::Test {
protected:
    void SetUp() override {
        reset_to_defaults(settings);
        received.clear();
        qt::use_presentation(&terminal_);
        ASSERT_TRUE(platform::register_main_window_class(nullptr, recording_proc));
        mainWindow = main_ = platform::create_main_window(nullptr);
    }
    void TearDown() override {
        platform::send_message(main_, platform::WM_CLOSE, 0, 0);  // and the dialogs it owns
        qt::use_presentation(nullptr);
        std::fclose(out_);
        std::free(buf_);
    }
    std::string printed() const { return std::string(buf_, len_); }

    // Runs act from the event loop on the window of the title once it is
    // shown. The poll stops first, since act may wait in a loop of its own.
    void when_shown(const QString& title, std::function<void(QWidget*)> act) {
        auto* poll = new QTimer(&polls_);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, title, act] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (!w->isVisible() || w->windowTitle() != title) continue;
                poll->stop();
                return act(w);
            }
        });
        poll->start(10);
    }

    platform::WindowHandle main_ = nullptr;

private:
    QObject polls_;
    char* buf_ = nullptr;
    std::size_t len_ = 0;
    std::FILE* out_ = open_memstream(&buf_, &len_);
    qt::TerminalPresentation terminal_{out_};
};

using HandoverTest = QtTest;

TEST_F(QtTest, SettingsControlsFollowTheTemplateAndEnterCommitsWhatWasTyped) {
    EXPECT_EQ(qt::dialog_rect({7, 13}, 94, 19, 19, 12), QRect(165, 31, 33, 20));  // 164.5, 19.5 round up
    const DialogTemplate& tmpl = *find_dialog_template(kSettingsDialogTemplate);
    const char* kinds[] = {"QGroupBox", "QCheckBox", "QLineEdit", "QComboBox", "QLabel", "QPushButton", "QLabel"};
    when_shown(kSettings, [&](QWidget* dialog) {
        const qt::BaseUnits units = qt::base_units(dialog->font());
        EXPECT_EQ(dialog->size(), qt::dialog_rect(units, 0, 0, tmpl.width, tmpl.height).size());
        const QWidgetList widgets = dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_EQ(static_cast<std::size_t>(widgets.size()), tmpl.controlCount);
        QWidgetList stops;
        for (std::size_t i = 0; i < tmpl.controlCount; ++i) {
            const ControlTemplate& c = tmpl.controls[i];
            QWidget* w = widgets[static_cast<qsizetype>(i)];
            EXPECT_TRUE(w->inherits(kinds[static_cast<int>(c.kind)]) && w->objectName() == QString::number(c.id)) << c.id;
            QRect want = qt::dialog_rect(units, c.x, c.y, c.width, c.height);
            if (c.kind == ControlKind::DropDownList) want.setHeight(w->sizeHint().height());  // closed
            EXPECT_EQ(w->geometry(), want) << c.id;
            EXPECT_EQ(w->property("default").toBool(), c.id == IDOK) << c.id;  // the default button
            if ((c.styles & style::WS_TABSTOP) != 0) stops << w;
        }
        QWidgetList chain;
        for (QWidget* w = stops[0]; chain.size() < stops.size(); w = w->nextInFocusChain())
            if (stops.contains(w)) chain << w;
        EXPECT_EQ(chain, stops);  // the tab order
        type(dialog, IDC_ALLUSAGE, "9a0");  // the letter cannot be typed
        control<QCheckBox>(dialog, IDC_ALLENABLE)->click();
        control<QComboBox>(dialog, IDC_ALLINFOCNT)->setCurrentIndex(9);
        QTest::keyClick(control<QLineEdit>(dialog, IDC_ALLUSAGE), Qt::Key_Return);
    });
    platform::send_message(main_, platform::WM_COMMAND, CMD_SETTINGS, 0);  // returns once closed
    EXPECT_EQ(std::tuple(settings.allusage.get(), settings.allenable.get(), settings.allinfocnt.get()),
              std::tuple(90, 0, 9));
}

TEST_F(QtTest, SettingsIsOneDialogWithAModalRangeBoxAndEscClosesIt) {
    bool plainBox = false;
    when_shown(kSettings, [&](QWidget* dialog) {
        platform::send_message(main_, platform::WM_COMMAND, CMD_SETTINGS, 0);
        EXPECT_EQ(windows_titled(kSettings), 1);
        when_shown(QStringLiteral("out of range"), [&](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            plainBox = box->standardButtons() == QMessageBox::Ok && box->parentWidget() == dialog &&
                       box->windowModality() == Qt::WindowModal;
            box->button(QMessageBox::Ok)->click();
        });
        type(dialog, IDC_ALLUSAGE, "0");
        QTest::mouseClick(control<QPushButton>(dialog, IDOK), Qt::LeftButton);
        EXPECT_TRUE(dialog->isVisible());
        type(dialog, IDC_ALLUSAGE, "50");  // valid, yet not taken
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    platform::send_message(main_, platform::WM_COMMAND, CMD_SETTINGS, 0);
    EXPECT_TRUE(plainBox);
    EXPECT_EQ(settings.allusage.get(), 95);
}

TEST_F(QtTest, AboutShowsTextAndIconIsOneDialogStaysOpenOnEscAndTheCloseBoxClosesIt) {
    char text[256];
    format_about_text(text, sizeof text);
    when_shown(kAbout, [&](QWidget* box) {
        EXPECT_EQ(control<QLabel>(box, IDC_ABOUTTEXT)->text(), QString::fromUtf8(text));
        EXPECT_EQ(control<QLabel>(box, kNoControlId)->pixmap().size(), QSize(32, 32));
        QTest::keyClick(box, Qt::Key_Escape);
        ASSERT_TRUE(box->isVisible());
        platform::send_message(main_, platform::WM_COMMAND, CMD_ABOUT, 0);
        EXPECT_EQ(windows_titled(kAbout), 1);
        box->close();
    });
    platform::send_message(main_, platform::WM_COMMAND, CMD_ABOUT, 0);
    EXPECT_EQ(windows_titled(kAbout) + aboutOpen, 0);
}

TEST_F(QtTest, MenuHasEightItemsAtTheCursorAndTheChoiceArrivesOnceClosed) {
    settings.allinfoenable.set(0);
    QCursor::setPos(120, 90);
    when_shown(QString(), [](QWidget* widget) {
        auto* menu = qobject_cast<QMenu*>(widget);
        ASSERT_TRUE(menu != nullptr && menu->actions().size() == 8);
        EXPECT_EQ(menu->pos(), QPoint(120, 90));
        const char* texts[] = {"設定", "", "全体警告　有効/無効", "全体お知らせ　有効/無効", "個別警告　有効/無効", "", "バージョン情報", "終了"};
        for (int i = 0; i < 8; ++i) {
            const QAction* item = menu->actions()[i];
            EXPECT_EQ(item->isSeparator(), *texts[i] == '\0') << i;
            EXPECT_EQ(item->text(), QString::fromUtf8(texts[i])) << i;
            EXPECT_EQ(item->isChecked(), i == 2 || i == 4) << i;
        }
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}) QTest::keyClick(menu, key);
    });
    platform::send_message(main_, WM_TRAYNOTIFY, kTrayIconId, platform::WM_RBUTTONUP);
    EXPECT_EQ(count(platform::WM_COMMAND, CMD_TOGGLE_TOTAL_WARNING), 0);  // like a posted message
    EXPECT_TRUE(QTest::qWaitFor([] { return settings.allenable.get() == 0; }));
}

TEST_F(QtTest, ATriggerIsHeldBackForADoubleClick) {
    using R = QSystemTrayIcon::ActivationReason;
    const std::pair<std::vector<R>, uint32_t> cases[] = {{{R::Trigger}, platform::WM_LBUTTONUP},
        {{R::Trigger, R::DoubleClick}, platform::WM_LBUTTONDBLCLK}, {{R::Trigger, R::Context}, platform::WM_RBUTTONUP}};
    for (const auto& [reasons, mouse] : cases) {
        std::vector<uint32_t> sent;
        qt::TrayClicks clicks([&sent](uint32_t m) { sent.push_back(m); });
        for (const R reason : reasons) clicks.activated(reason);
        EXPECT_TRUE(QTest::qWaitFor([&sent] { return !sent.empty(); }));
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100);
        EXPECT_EQ(sent, std::vector<uint32_t>{mouse}) << reasons.size();
    }
}

TEST_F(HandoverTest, WorkerRequestsRunInOrderOnTheUiThreadBeforeItsOwn) {
    ASSERT_TRUE(platform::start_worker([] {
        for (int i = 0; i < 100; ++i) notify(std::to_string(i));
        notify("", "警告", "line\r\nbreak\tand tab", platform::NIIF_WARNING);
    }));
    qt::join_worker();
    EXPECT_EQ(printed(), "");  // queued, none carried out on the worker
    notify("", "お知らせ", "80%", platform::NIIF_INFO);
    std::string want;
    for (int i = 0; i < 100; ++i) want += "tooltip\t" + std::to_string(i) + "\n";
    EXPECT_EQ(printed(), want + "warning\t警告\tline  break and tab\nnotice\tお知らせ\t80%\n");
}

TEST_F(HandoverTest, TimersRepeatUntilKilledReplaceOnReArmAndArmFromAnyThread) {
    platform::set_timer(main_, 5, 10);
    platform::set_timer(main_, 6, 10);
    platform::set_timer(main_, 6, 60000);  // replaces the 10 ms
    std::thread([this] { platform::set_timer(main_, 7, 10); }).join();
    ASSERT_TRUE(QTest::qWaitFor([] { return count(platform::WM_TIMER, 5) >= 3 && count(platform::WM_TIMER, 7) > 0; }));
    platform::kill_timer(main_, 5);
    const int fired = count(platform::WM_TIMER, 5);
    QTest::qWait(100);
    EXPECT_EQ(count(platform::WM_TIMER, 5), fired);
    EXPECT_EQ(count(platform::WM_TIMER, 6), 0);
}

}  // namespace vantrel::test

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
