// The settings dialog built from template 192, driven through the real
// dialog procedure: what it shows, what OK and Enter commit, the range
// messages, Esc, one instance, the log file chooser.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "platform/qt/dialog_units.h"
#include "resources/dialog_templates.h"
#include "settings/settings_table.h"
#include "shell/app_ids.h"
#include "shell/dialog_ids.h"
#include "shell/settings_dialog.h"
#include "tests/qt/qt_fixture.h"

namespace vantrel::test {

namespace {

const QString kTitle = QStringLiteral("設定");

void type(QWidget* dialog, int id, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(QString::number(id));
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void press_ok(QWidget* dialog) {
    QTest::mouseClick(dialog->findChild<QPushButton*>(QString::number(IDOK)), Qt::LeftButton);
}

struct SeenBox {
    QString text;
    QString caption;
    bool plain = false;  // no icon, one OK button, modal to the dialog
};

// Answers the next message box with OK, noting what it showed.
void answer_message_box(SeenBox* seen, QWidget* dialog) {
    QtTest::when_shown(QtTest::of_type<QMessageBox>(), [seen, dialog](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        seen->text = box->text();
        seen->caption = box->windowTitle();
        seen->plain = box->icon() == QMessageBox::NoIcon && box->buttons().size() == 1 &&
                      box->standardButtons() == QMessageBox::Ok && box->parentWidget() == dialog &&
                      box->windowModality() == Qt::WindowModal;
        box->button(QMessageBox::Ok)->click();
    });
}

}  // namespace

using SettingsDialogTest = QtTest;

TEST_F(SettingsDialogTest, OpensWithTheSettingsLaidOutAsTheTemplate) {
    const DialogTemplate& tmpl = *find_dialog_template(kSettingsDialogTemplate);
    bool examined = false;
    when_shown(titled(kTitle), [&](QWidget* dialog) {
        EXPECT_EQ(control<QLineEdit>(dialog, IDC_ALLUSAGE)->text(), "95");
        EXPECT_EQ(control<QLineEdit>(dialog, IDC_ALLUSAGEINFO)->text(), "80");
        EXPECT_EQ(control<QLineEdit>(dialog, IDC_EACHUSAGE)->text(), "80");
        EXPECT_EQ(control<QLineEdit>(dialog, IDC_INTERVALSEC)->text(), "5");
        EXPECT_EQ(control<QLineEdit>(dialog, IDC_IGNOREPROC)->text(), "");
        EXPECT_EQ(control<QLineEdit>(dialog, IDC_LOGFILENAME)->text(), "");
        for (const int id : {IDC_ALLCOUNT, IDC_ALLINFOCNT}) {
            const auto* list = control<QComboBox>(dialog, id);
            EXPECT_EQ(list->count(), 10);
            EXPECT_EQ(list->currentText(), " 1");
            EXPECT_EQ(list->itemText(9), "10");
            EXPECT_FALSE(list->isEditable());
        }
        for (const int id : {IDC_ALLENABLE, IDC_ALLINFOENABLE, IDC_EACHENABLE})
            EXPECT_TRUE(control<QCheckBox>(dialog, id)->isChecked()) << id;
        EXPECT_FALSE(control<QCheckBox>(dialog, IDC_WRITELOGFILE)->isChecked());
        EXPECT_EQ(dialog->focusWidget(), control<QLineEdit>(dialog, IDC_ALLUSAGE));
        EXPECT_EQ(control<QLineEdit>(dialog, IDC_ALLUSAGE)->selectedText(), "95");
        EXPECT_TRUE(control<QPushButton>(dialog, IDOK)->isDefault());

        // Every control in template order, placed by the dialog font's units;
        // the drop-down lists keep the closed height the style gives them.
        const qt::BaseUnits units = qt::base_units(dialog->font());
        const QList<QWidget*> widgets = dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_EQ(static_cast<std::size_t>(widgets.size()), tmpl.controlCount);
        QList<QWidget*> stops;
        for (std::size_t i = 0; i < tmpl.controlCount; ++i) {
            const ControlTemplate& c = tmpl.controls[i];
            QWidget* w = widgets[static_cast<qsizetype>(i)];
            EXPECT_EQ(w->objectName(), QString::number(c.id));
            const QRect want = qt::dialog_rect(units, c.x, c.y, c.width, c.height);
            EXPECT_EQ(w->pos(), want.topLeft()) << c.id;
            EXPECT_EQ(w->width(), want.width()) << c.id;
            if (c.kind != ControlKind::DropDownList) {
                EXPECT_EQ(w->height(), want.height()) << c.id;
            }
            if ((c.styles & style::WS_TABSTOP) != 0) stops << w;
        }
        EXPECT_EQ(dialog->size(), qt::dialog_rect(units, 0, 0, tmpl.width, tmpl.height).size());
        for (qsizetype i = 0; i + 1 < stops.size(); ++i) {
            QWidget* next = stops[i]->nextInFocusChain();
            while (!stops.contains(next)) next = next->nextInFocusChain();
            EXPECT_EQ(next, stops[i + 1]) << "tab order after " << stops[i]->objectName().toStdString();
        }
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        // Centred up to the window frame, which is unknown before it is shown.
        EXPECT_LE((dialog->geometry().center() - screen.center()).manhattanLength(), 8);

        // A second command brings this one forward and opens no other.
        platform::send_message(main_, platform::WM_COMMAND, CMD_SETTINGS, 0);
        EXPECT_EQ(windows_titled(kTitle), 1);

        // Esc cancels: nothing typed is taken.
        type(dialog, IDC_ALLUSAGE, "50");
        examined = true;
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    platform::send_message(main_, platform::WM_COMMAND, CMD_SETTINGS, 0);

    EXPECT_TRUE(examined);
    EXPECT_EQ(windows_titled(kTitle), 0);
    EXPECT_EQ(openSettingsDialog, nullptr);
    EXPECT_EQ(settings.allusage.get(), 95);
}

TEST_F(SettingsDialogTest, OkAndEnterCommitWhatWasTypedAndRestartTheMonitorTimer) {
    when_shown(titled(kTitle), [](QWidget* dialog) {
        type(dialog, IDC_ALLUSAGE, "9a0");  // the letter cannot be typed
        EXPECT_EQ(control<QLineEdit>(dialog, IDC_ALLUSAGE)->text(), "90");
        type(dialog, IDC_INTERVALSEC, "1");
        type(dialog, IDC_IGNOREPROC, "foo.exe,bar.exe");
        control<QCheckBox>(dialog, IDC_ALLENABLE)->click();
        control<QComboBox>(dialog, IDC_ALLINFOCNT)->setCurrentIndex(9);
        press_ok(dialog);
    });
    platform::send_message(main_, platform::WM_COMMAND, CMD_SETTINGS, 0);

    EXPECT_EQ(settings.allusage.get(), 90);
    EXPECT_EQ(settings.intervalsec.get(), 1);
    EXPECT_EQ(settings.ignoreproc.get(), "foo.exe,bar.exe");
    EXPECT_EQ(settings.allenable.get(), 0);
    EXPECT_EQ(settings.allinfocnt.get(), 9);
    // The monitor timer starts over with the new interval of one second.
    EXPECT_TRUE(run_until([] { return count(platform::WM_TIMER, MonitorTimer) > 0; }, std::chrono::seconds(4)));
    platform::kill_timer(main_, MonitorTimer);

    when_shown(titled(kTitle), [](QWidget* dialog) {
        type(dialog, IDC_EACHUSAGE, "70");
        QTest::keyClick(control<QLineEdit>(dialog, IDC_EACHUSAGE), Qt::Key_Return);
    });
    platform::send_message(main_, platform::WM_COMMAND, CMD_SETTINGS, 0);
    EXPECT_EQ(settings.eachusage.get(), 70);
    EXPECT_EQ(windows_titled(kTitle), 0);
}

TEST_F(SettingsDialogTest, OutOfRangeValuesShowTheRangeMessageAndKeepTheDialogOpen) {
    when_shown(titled(kTitle), [](QWidget* dialog) {
        SeenBox seen;
        // Two bad thresholds: one message.
        type(dialog, IDC_ALLUSAGE, "0");
        type(dialog, IDC_EACHUSAGE, "0");
        answer_message_box(&seen, dialog);
        press_ok(dialog);
        EXPECT_EQ(seen.text, "1～100の間で指定してください");
        EXPECT_EQ(seen.caption, "out of range");
        EXPECT_TRUE(seen.plain);
        EXPECT_TRUE(dialog->isVisible());

        // Only three bytes of a threshold are read: 1000 is 100.
        type(dialog, IDC_ALLUSAGE, "1000");
        type(dialog, IDC_EACHUSAGE, "100");
        // Only four of the interval: 50000 is 5000, too long.
        type(dialog, IDC_INTERVALSEC, "50000");
        seen = SeenBox();
        answer_message_box(&seen, dialog);
        press_ok(dialog);
        EXPECT_EQ(seen.text, "1～3600の間で指定してください");
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(settings.allusage.get(), 95);

        // 36000 is 3600.
        type(dialog, IDC_INTERVALSEC, "36000");
        press_ok(dialog);
    });
    platform::send_message(main_, platform::WM_COMMAND, CMD_SETTINGS, 0);

    EXPECT_EQ(windows_titled(kTitle), 0);
    EXPECT_EQ(settings.allusage.get(), 100);
    EXPECT_EQ(settings.eachusage.get(), 100);
    EXPECT_EQ(settings.intervalsec.get(), 3600);
}

TEST_F(SettingsDialogTest, AFieldReadIntoASmallBufferIsCutBetweenCharacters) {
    when_shown(titled(kTitle), [](QWidget* dialog) {
        control<QLineEdit>(dialog, IDC_IGNOREPROC)->setText(QStringLiteral("あいう"));
        char buf[6];  // room for five bytes: one three-byte character fits, two do not
        EXPECT_EQ(platform::get_item_text(openSettingsDialog, IDC_IGNOREPROC, buf, sizeof buf), 3u);
        EXPECT_STREQ(buf, "あ");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    platform::send_message(main_, platform::WM_COMMAND, CMD_SETTINGS, 0);
}

TEST_F(SettingsDialogTest, TheChooserFillsTheLogFieldAndACancelLeavesIt) {
    const QString chosen = QDir::temp().filePath(QStringLiteral("vantrel-test-new-ログ.txt"));
    QFile::remove(chosen);
    when_shown(titled(kTitle), [&](QWidget* dialog) {
        QWidget* choose = control<QPushButton>(dialog, IDC_CHOOSELOG);
        when_shown(of_type<QFileDialog>(), [&](QWidget* widget) {
            auto* chooser = qobject_cast<QFileDialog*>(widget);
            EXPECT_EQ(chooser->nameFilters(), QStringList{"LOGファイル (*.*)"});
            EXPECT_EQ(chooser->acceptMode(), QFileDialog::AcceptSave);
            EXPECT_EQ(chooser->parentWidget(), dialog);
            // A file that does not exist yet is accepted: the log creates it.
            chooser->selectFile(chosen);
            QMetaObject::invokeMethod(chooser, "accept");
        });
        QTest::mouseClick(choose, Qt::LeftButton);
        EXPECT_EQ(control<QLineEdit>(dialog, IDC_LOGFILENAME)->text(), chosen);

        when_shown(of_type<QFileDialog>(), [](QWidget* widget) { qobject_cast<QFileDialog*>(widget)->reject(); });
        QTest::mouseClick(choose, Qt::LeftButton);
        EXPECT_EQ(control<QLineEdit>(dialog, IDC_LOGFILENAME)->text(), chosen);
        press_ok(dialog);
    });
    platform::send_message(main_, platform::WM_COMMAND, CMD_SETTINGS, 0);
    EXPECT_EQ(settings.logfilename.get(), chosen.toStdString());
}

TEST(DialogUnits, ConvertWithWindowsRounding) {
    // 94 × 7 / 4 = 164.5 and 12 × 13 / 8 = 19.5 round up; 30.875 to 31.
    EXPECT_EQ(qt::dialog_rect({7, 13}, 94, 19, 19, 12), QRect(165, 31, 33, 20));
    EXPECT_EQ(qt::dialog_rect({6, 12}, 0, 0, 159, 223), QRect(0, 0, 239, 335));
}

TEST(DialogUnits, TheJapaneseFallbackFontIsUsedWhereTheTemplateFontIsMissing) {
    const QFont font = qt::dialog_font(*find_dialog_template(kSettingsDialogTemplate));
    EXPECT_EQ(QFontInfo(font).family(), "IPAPGothic");
    EXPECT_EQ(font.pointSize(), 9);
}

}  // namespace vantrel::test
