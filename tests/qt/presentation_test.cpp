// What the Qt layer can get wrong, offscreen, through the real shell; HandoverTest also runs under TSan.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include <cstdio>
#include <map>
#include <thread>

#include "alerts/tray_icon.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/menus.h"
#include "platform/qt/message_loop.h"
#include "platform/qt/terminal_presentation.h"
#include "platform/qt/tray_clicks.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "settings/settings_table.h"
#include "shell/about_dialog.h"
#include "shell/app_ids.h"
#include "shell/tray_menu.h"

namespace vantrel::test {

namespace {

std::map<uintptr_t, int> ticks;  // by timer id

// The main window: counts timer ticks, hands commands and tray clicks to the shell.
intptr_t main_proc(platform::WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (message == platform::kMsgTimer) ++ticks[wparam];
    if (message == WM_TRAYNOTIFY) handle_tray_notify(wparam, lparam);
    if (message == platform::kMsgCommand) handle_command(wparam, lparam);
    return platform::default_window_proc(window, message, wparam, lparam);
}

QWidget* shown(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets()) if (w->isVisible() && w->windowTitle() == title) return w;
    return nullptr;
}

template <typename W> W* control(QWidget* dialog, int id) { return dialog->findChild<W*>(QString::number(id)); }

// A menu's items, "-" a separator, "+" after a checked one.
std::string items(const QMenu& menu) {
    QStringList texts;
    for (const QAction* a : menu.actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text() + (a->isChecked() ? "+" : ""));
    return texts.join(u'|').toStdString();
}

}  // namespace

class QtTest : public ::testing::Test {
protected:
    void SetUp() override {
        reset_to_defaults(settings);
        ticks.clear();
        qt::use_presentation(&terminal_);  // the tray requests are printed into buf_
        ASSERT_TRUE(platform::register_main_window_class(nullptr, main_proc));
        mainWindow = platform::create_main_window(nullptr);
    }
    void TearDown() override {
        platform::send_message(mainWindow, platform::kMsgClose, 0, 0);  // and the dialogs it owns
        qt::use_presentation(nullptr);
        std::fclose(out_);
        std::free(buf_);
    }

    // Runs act on the window of the title once it is shown; the poll stops first, as act may loop.
    void when_shown(const QString& title, std::function<void(QWidget*)> act) {
        auto* poll = new QTimer(&polls_);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, title, act] {
            if (QWidget* w = shown(title)) { poll->stop(); act(w); }
        });
        poll->start(10);
    }

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
    when_shown(QStringLiteral("設定"), [&](QWidget* dialog) {
        const qt::BaseUnits units = qt::base_units(dialog->font());
        EXPECT_EQ(dialog->size(), qt::dialog_rect(units, 0, 0, tmpl.width, tmpl.height).size());
        const QWidgetList widgets = dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_EQ(static_cast<std::size_t>(widgets.size()), tmpl.controlCount);
        QWidgetList stops;
        for (std::size_t i = 0; i < tmpl.controlCount; ++i) {
            const ControlTemplate& c = tmpl.controls[i];
            QWidget* w = widgets[static_cast<qsizetype>(i)];
            QRect want = qt::dialog_rect(units, c.x, c.y, c.width, c.height);
            if (c.kind == ControlKind::DropDownList) want.setHeight(w->sizeHint().height());  // closed
            EXPECT_TRUE(w->inherits(kinds[static_cast<int>(c.kind)]) && w->objectName() == QString::number(c.id) &&
                        w->geometry() == want && w->property("default").toBool() == (c.id == kIdOk)) << c.id;
            if ((c.styles & style::kTabStop) != 0) stops << w;
        }
        QWidgetList chain;  // the tab order
        for (QWidget* w = stops[0]; chain.size() < stops.size(); w = w->nextInFocusChain())
            if (stops.contains(w)) chain << w;
        EXPECT_EQ(chain, stops);
        QTest::keyClicks(control<QLineEdit>(dialog, IDC_ALLUSAGE), "9a0");  // replaces the selected 95; no letter
        control<QCheckBox>(dialog, IDC_ALLENABLE)->click();
        control<QComboBox>(dialog, IDC_ALLINFOCNT)->setCurrentIndex(9);
        QTest::keyClick(control<QLineEdit>(dialog, IDC_ALLUSAGE), Qt::Key_Return);
    });
    platform::send_message(mainWindow, platform::kMsgCommand, CMD_SETTINGS, 0);  // returns once closed
    EXPECT_EQ(std::tuple(settings.allusage.get(), settings.allenable.get(), settings.allinfocnt.get()),
              std::tuple(90, 0, 9));
}

TEST_F(QtTest, SettingsRangeBoxIsModalToTheDialogWithOneButtonAndEscTakesNothing) {
    bool plainBox = false;
    when_shown(QStringLiteral("設定"), [&](QWidget* dialog) {
        when_shown(QStringLiteral("out of range"), [&](QWidget* box) {
            plainBox = qobject_cast<QMessageBox*>(box)->standardButtons() == QMessageBox::Ok &&
                       box->parentWidget() == dialog && box->windowModality() == Qt::WindowModal;
            box->close();
        });
        QLineEdit* field = control<QLineEdit>(dialog, IDC_ALLUSAGE);
        field->selectAll();
        QGuiApplication::clipboard()->setText(QStringLiteral("x5"));  // pasted as it is; no leading digits
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QTest::mouseClick(control<QPushButton>(dialog, kIdOk), Qt::LeftButton);
        control<QLineEdit>(dialog, IDC_ALLUSAGE)->setText("50");  // valid, yet not taken
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    platform::send_message(mainWindow, platform::kMsgCommand, CMD_SETTINGS, 0);
    EXPECT_TRUE(plainBox);
    EXPECT_EQ(settings.allusage.get(), 95);
}

TEST_F(QtTest, AboutShowsTheIconFocusesOkStaysOpenOnEscAndTheCloseBoxClosesIt) {
    when_shown(QStringLiteral("バージョン情報"), [](QWidget* box) {
        EXPECT_EQ(control<QLabel>(box, kNoControlId)->pixmap().size(), QSize(32, 32));
        EXPECT_EQ(box->focusWidget(), control<QPushButton>(box, kIdOk));
        QTest::keyClick(box, Qt::Key_Escape);
        ASSERT_TRUE(box->isVisible());
        box->close();
    });
    platform::send_message(mainWindow, platform::kMsgCommand, CMD_ABOUT, 0);
    EXPECT_TRUE(shown(QStringLiteral("バージョン情報")) == nullptr && aboutOpen == 0);
}

// The shell's menu: at the cursor for a left click, and handed to the icon's context menu (which a
// notification area or Qt opens on a right click), whose items stay the same when filled again.
TEST_F(QtTest, ShellMenuAtTheCursorOrInTheContextMenuHasChecksAndTheChoiceArrivesOnceClosed) {
    settings.allinfoenable.set(0);
    const std::string want = "設定|-|全体警告　有効/無効+|全体お知らせ　有効/無効|個別警告　有効/無効+|-|バージョン情報|終了";
    QCursor::setPos(120, 90);
    when_shown(QString(), [&want](QWidget* widget) {
        auto* menu = qobject_cast<QMenu*>(widget);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->pos(), QPoint(120, 90));
        EXPECT_EQ(items(*menu), want);
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}) QTest::keyClick(menu, key);
    });
    platform::send_message(mainWindow, WM_TRAYNOTIFY, kTrayIconId, platform::kMsgLButtonUp);
    EXPECT_EQ(settings.allenable.get(), 1);  // not yet: like a posted message
    EXPECT_TRUE(QTest::qWaitFor([] { return settings.allenable.get() == 0; }));

    QMenu context;
    const auto fill = [&context] {
        qt::MenuCapture capture(context);
        platform::send_message(mainWindow, WM_TRAYNOTIFY, kTrayIconId, platform::kMsgRButtonUp);
    };
    fill();
    EXPECT_TRUE(QApplication::activePopupWidget() == nullptr && items(context) == "設定|-|全体警告　有効/無効|"
                "全体お知らせ　有効/無効|個別警告　有効/無効+|-|バージョン情報|終了") << items(context);
    const QList<QAction*> before = context.actions();
    before[2]->trigger();
    EXPECT_TRUE(QTest::qWaitFor([] { return settings.allenable.get() == 1; }));
    fill();
    EXPECT_TRUE(context.actions() == before && items(context) == want) << items(context);
}

TEST_F(QtTest, ATriggerIsHeldBackForADoubleClickOrInAHostsIconStandsForOne) {
    using R = QSystemTrayIcon::ActivationReason;
    // A right click opens the context menu and drops the held click; a host's middle click does nothing.
    const std::tuple<bool, std::vector<R>, std::vector<uint32_t>> cases[] = {
        {false, {R::Trigger}, {platform::kMsgLButtonUp}},
        {false, {R::Trigger, R::DoubleClick}, {platform::kMsgLButtonDblClk}}, {false, {R::Trigger, R::Context}, {}},
        {true, {R::Trigger, R::MiddleClick}, {platform::kMsgLButtonDblClk}}, {true, {R::Context, R::MiddleClick}, {}}};
    for (const auto& [hostDraws, reasons, mouse] : cases) {
        std::vector<uint32_t> sent;
        qt::TrayClicks clicks([&sent](uint32_t m) { sent.push_back(m); }, [hostDraws = hostDraws] { return hostDraws; });
        for (const R reason : reasons) clicks.activated(reason);
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100);
        EXPECT_EQ(sent, mouse) << reasons.size();
    }
}

TEST_F(HandoverTest, WorkerRequestsRunInOrderOnTheUiThreadBeforeItsOwn) {
    iconRecord.hWnd = mainWindow;  // the icon the requests name
    ASSERT_TRUE(platform::start_worker([] {
        for (int i = 0; i < 100; ++i) set_tooltip(std::to_string(i / 2 * 2).c_str());  // each change once
        show_balloon("警告", "line\r\nbreak\tand tab", platform::kBalloonWarning);
    }));
    qt::join_worker();
    EXPECT_EQ(std::string(buf_, len_), "");  // queued, none carried out on the worker
    show_balloon("お知らせ", "80%", platform::kBalloonInfo);
    std::string want;
    for (int i = 0; i < 100; i += 2) want += "tooltip\t" + std::to_string(i) + "\n";
    EXPECT_EQ(std::string(buf_, len_), want + "warning\t警告\tline  break and tab\nnotice\tお知らせ\t80%\n");
}

TEST_F(HandoverTest, TimersRepeatUntilKilledReplaceOnReArmAndArmFromAnyThread) {
    platform::set_timer(mainWindow, 5, 10);
    platform::set_timer(mainWindow, 6, 10);
    platform::set_timer(mainWindow, 6, 60000);  // replaces the 10 ms
    std::thread([] { platform::set_timer(mainWindow, 7, 10); }).join();
    ASSERT_TRUE(QTest::qWaitFor([] { return ticks[5] >= 3 && ticks[7] > 0; }));
    platform::kill_timer(mainWindow, 5);
    ticks.erase(5);
    QTest::qWait(100);
    EXPECT_EQ(ticks[5] + ticks[6], 0);  // killed; the 10 ms of 6 replaced
}

}  // namespace vantrel::test

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
