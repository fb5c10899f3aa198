// The tray menu as the shell builds it: eight items with their texts,
// separators and check marks, at the cursor; the choice arrives after the
// menu has closed; no choice sends nothing.
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QTest>

#include "settings/settings_table.h"
#include "shell/app_ids.h"
#include "tests/qt/qt_fixture.h"

namespace vantrel::test {

using TrayMenuTest = QtTest;

TEST_F(TrayMenuTest, ShowsTheEightItemsAndDeliversTheChoiceOnceClosed) {
    settings.allinfoenable.set(0);
    bool examined = false;
    when_shown(of_type<QMenu>(), [&](QWidget* widget) {
        auto* menu = qobject_cast<QMenu*>(widget);
        const QList<QAction*> items = menu->actions();
        ASSERT_EQ(items.size(), 8);
        const char* texts[] = {"設定", "", "全体警告　有効/無効", "全体お知らせ　有効/無効", "個別警告　有効/無効",
                               "", "バージョン情報", "終了"};
        const bool checked[] = {false, false, true, false, true, false, false, false};
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(items[i]->isSeparator(), *texts[i] == '\0') << i;
            EXPECT_EQ(items[i]->text(), QString::fromUtf8(texts[i])) << i;
            EXPECT_EQ(items[i]->isChecked(), checked[i]) << i;
        }
        examined = true;
        // Down to "設定", Down to the overall warning, Enter.
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    platform::send_message(main_, WM_TRAYNOTIFY, kTrayIconId, platform::WM_RBUTTONUP);

    ASSERT_TRUE(examined);
    // Like a posted message, the command comes after the click is handled.
    EXPECT_EQ(count(platform::WM_COMMAND, CMD_TOGGLE_TOTAL_WARNING), 0);
    EXPECT_TRUE(run_until([] { return settings.allenable.get() == 0; }));
    EXPECT_EQ(count(platform::WM_COMMAND, CMD_TOGGLE_TOTAL_WARNING), 1);
}

TEST_F(TrayMenuTest, OpensAtTheCursorOnALeftClickAndSendsNothingWhenDismissed) {
    QCursor::setPos(120, 90);
    QPoint shownAt;
    when_shown(of_type<QMenu>(), [&](QWidget* menu) {
        shownAt = menu->pos();
        QTest::keyClick(menu, Qt::Key_Escape);
    });
    platform::send_message(main_, WM_TRAYNOTIFY, kTrayIconId, platform::WM_LBUTTONUP);

    EXPECT_EQ(shownAt, QPoint(120, 90));
    QApplication::processEvents();
    for (const Message& m : messages()) EXPECT_NE(m.message, platform::WM_COMMAND);
}

}  // namespace vantrel::test
