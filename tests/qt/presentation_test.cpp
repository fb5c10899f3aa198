// What the Qt layer can get wrong, offscreen, through the real shell; HandoverTest also runs under TSan. Then
// the tray icon's picture: without a reading, icon 105's files pixel for pixel at every size; with one, the
// meter alone changes, lit from the left to the total in the level's colours.
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
#include "platform/qt/meter_icon.h"
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
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);  // its items as exported: e2e/status_notifier.sh
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

using platform::kLoadNormal, platform::kLoadNotice, platform::kLoadWarning;

// Without a reading, the file of each size that has one (all but 44 and 96).
TEST(MeterIconTest, MeterLightsFromTheLeftToTheTotalInTheColoursOfTheLevel) {
    const QRgb lit[] = {0xff00ff00, 0xffffff00, 0xffff0000}, unlit[] = {0xff008000, 0xff808000, 0xff800000};
    const auto in_meter = [](QRgb plain) { return plain == 0xff008000 || (qRed(plain) | qGreen(plain)) == 0xff; };
    for (int size : {16, 22, 24, 32, 44, 48, 64, 96, 128, 256}) {
        const QImage plain = qt::draw_meter_icon(size, {}), file(QStringLiteral(":/icons/105/%1.png").arg(size));
        EXPECT_TRUE(size == 44 || size == 96 || plain == file.convertToFormat(QImage::Format_ARGB32)) << size;
        for (uint32_t level : {kLoadNormal, kLoadNotice, kLoadWarning}) {
            int litBefore = -1;
            for (int32_t total : {0, 40, 70, 100}) {
                const QImage live = qt::draw_meter_icon(size, {total, level});
                int litCount = 0, unlitCount = 0;
                for (int y = 0; y < size; ++y) {
                    bool unlitSeen = false;
                    for (int x = 0; x < size; ++x) {
                        const QRgb p = live.pixel(x, y);
                        if (!in_meter(plain.pixel(x, y))) {
                            ASSERT_EQ(p, plain.pixel(x, y)) << size << " " << x << "," << y;
                            continue;
                        }
                        ASSERT_TRUE(p == lit[level] || (p == unlit[level] && (unlitSeen = true)));
                        ASSERT_FALSE(p == lit[level] && unlitSeen) << "lit right of unlit at " << size;
                        (p == lit[level] ? litCount : unlitCount)++;
                    }
                }
                EXPECT_GT(litCount, litBefore) << size << " " << total;
                EXPECT_TRUE((total == 0) == (litCount == 0) && (total == 100) == (unlitCount == 0)) << size;
                litBefore = litCount;
            }
        }
    }
}

TEST(MeterIconTest, EachDevicePixelSizeIsDrawnAndEqualKeysDrawEqualPictures) {
    const qt::MeterReading busy{70, kLoadNotice};
    const QIcon icon = qt::meter_icon(busy);
    for (const QSize& size : icon.availableSizes())
        for (int ratio : {1, 2})
            EXPECT_EQ(icon.pixmap(size, ratio).toImage().convertToFormat(QImage::Format_ARGB32),
                      qt::draw_meter_icon(size.width() * ratio, busy)) << size.width() << "@" << ratio;
    EXPECT_EQ(qt::meter_key({0, kLoadNormal}), qt::meter_key({1, kLoadNormal}));  // nothing lit at any size
    EXPECT_EQ(qt::meter_key({-1, kLoadWarning}), qt::meter_key({101, kLoadNormal}));  // icon 105
    EXPECT_NE(qt::meter_key({0, kLoadNormal}), qt::meter_key({0, kLoadNotice}));
    EXPECT_NE(qt::meter_key({50, kLoadNormal}), qt::meter_key({53, kLoadNormal}));
}

}  // namespace vantrel::test

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
