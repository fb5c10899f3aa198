// The About box built from template 193, driven through the real dialog
// procedure; and both dialogs open at once when the main window goes.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "settings/settings_table.h"
#include "shell/about_dialog.h"
#include "shell/app_ids.h"
#include "shell/dialog_ids.h"
#include "shell/settings_dialog.h"
#include "tests/qt/qt_fixture.h"

namespace vantrel::test {

namespace {

const QString kAbout = QStringLiteral("バージョン情報");
const QString kSettings = QStringLiteral("設定");

}  // namespace

using AboutBoxTest = QtTest;

TEST_F(AboutBoxTest, ShowsIconAndProductLineStaysOpenOnEscAndClosesWithOk) {
    bool examined = false;
    when_shown(titled(kAbout), [&](QWidget* box) {
        char expected[256];
        format_about_text(expected, sizeof expected);
        const QString text = control<QLabel>(box, IDC_ABOUTTEXT)->text();
        EXPECT_EQ(text, QString::fromUtf8(expected));
        EXPECT_TRUE(text.startsWith(QStringLiteral(" Vantrel\u3000ver1.2β1\n\n")));
        const QPixmap icon = control<QLabel>(box, kNoControlId)->pixmap();
        EXPECT_EQ(icon.size(), QSize(32, 32));
        EXPECT_EQ(box->focusWidget(), control<QPushButton>(box, IDOK));

        QTest::keyClick(box, Qt::Key_Escape);
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(aboutOpen, 1);
        // Another About command opens nothing.
        platform::send_message(main_, platform::WM_COMMAND, CMD_ABOUT, 0);
        EXPECT_EQ(windows_titled(kAbout), 1);
        // Ctrl+C copies the texts, as a Windows message box does.
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), text);

        examined = true;
        QTest::keyClick(box, Qt::Key_Return);
    });
    platform::send_message(main_, platform::WM_COMMAND, CMD_ABOUT, 0);

    EXPECT_TRUE(examined);
    EXPECT_EQ(aboutOpen, 0);
    EXPECT_EQ(windows_titled(kAbout), 0);
}

TEST_F(AboutBoxTest, TheCloseBoxClosesIt) {
    when_shown(titled(kAbout), [](QWidget* box) { box->close(); });
    platform::send_message(main_, platform::WM_COMMAND, CMD_ABOUT, 0);
    EXPECT_EQ(aboutOpen, 0);
    EXPECT_EQ(windows_titled(kAbout), 0);
}

// The settings dialog, closed while the About box opened after it is still
// open, is gone at once, though its loop can only end after the About box's:
// the next settings command opens a new one.
TEST_F(AboutBoxTest, TheSettingsDialogClosedUnderTheAboutBoxIsGoneAtOnce) {
    bool gone = false;
    when_shown(titled(kSettings), [&](QWidget* dialog) {
        when_shown(titled(kAbout), [&](QWidget* box) {
            QTest::mouseClick(control<QPushButton>(dialog, IDOK), Qt::LeftButton);
            gone = run_until([] { return openSettingsDialog == nullptr; }) && windows_titled(kSettings) == 0;
            QTest::keyClick(box, Qt::Key_Return);
        });
        platform::send_message(main_, platform::WM_COMMAND, CMD_ABOUT, 0);
    });
    platform::send_message(main_, platform::WM_COMMAND, CMD_SETTINGS, 0);
    EXPECT_TRUE(gone);
    EXPECT_EQ(aboutOpen, 0);
}

// Exit while both dialogs are open: they go with the main window, and the
// settings dialog's fields are not applied.
TEST_F(AboutBoxTest, BothDialogsOpenTogetherAndGoWithTheMainWindow) {
    bool bothShown = false;
    when_shown(titled(kSettings), [&](QWidget* dialog) {
        control<QLineEdit>(dialog, IDC_ALLUSAGE)->setText(QStringLiteral("42"));
        when_shown(titled(kAbout), [&](QWidget*) {
            bothShown = windows_titled(kSettings) == 1;
            platform::send_message(main_, platform::WM_CLOSE, 0, 0);
        });
        platform::send_message(main_, platform::WM_COMMAND, CMD_ABOUT, 0);
    });
    platform::send_message(main_, platform::WM_COMMAND, CMD_SETTINGS, 0);

    EXPECT_TRUE(bothShown);
    EXPECT_EQ(count(platform::WM_DESTROY, 0), 1);
    EXPECT_EQ(windows_titled(kSettings) + windows_titled(kAbout), 0);
    EXPECT_EQ(openSettingsDialog, nullptr);
    EXPECT_EQ(aboutOpen, 0);
    EXPECT_EQ(settings.allusage.get(), 95);
}

}  // namespace vantrel::test
