// The dialogs' logic: what the settings dialog shows, reads, checks and
// commits, and the About box's texts.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "settings/settings_table.h"
#include "shell/about_dialog.h"
#include "shell/app_ids.h"
#include "shell/dialog_ids.h"
#include "shell/main_window.h"
#include "shell/settings_dialog.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

constexpr const char* kPercentMessage = "1～100の間で指定してください";
constexpr const char* kIntervalMessage = "1～3600の間で指定してください";

class SettingsDialogTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        ASSERT_EQ(run_application(nullptr), 0);
    }
    // Opens the dialog and runs the actions inside it; returns its state.
    fake::DialogState open(const std::function<void(platform::WindowHandle)>& actions) {
        platform::WindowHandle handle = nullptr;
        fake::ui().whileDialogOpen = [&](platform::WindowHandle dlg, int) {
            handle = dlg;
            actions(dlg);
        };
        platform::send_message(fake::main_window_handle(), platform::WM_COMMAND, CMD_SETTINGS, 0);
        return fake::dialog(handle);
    }
    static void press(platform::WindowHandle dlg, uintptr_t id) {
        platform::send_message(dlg, platform::WM_COMMAND, id, 0);
    }
    static void type(platform::WindowHandle dlg, int id, const std::string& text) {
        fake::dialog(dlg).texts[id] = text;
    }
    static std::vector<std::string> messages() {
        std::vector<std::string> texts;
        for (const auto& m : fake::ui().messageBoxes) {
            EXPECT_EQ(m.caption, "out of range");
            texts.push_back(m.text);
        }
        return texts;
    }
};

TEST_F(SettingsDialogTest, OpensWithTheCurrentSettings) {
    const auto d = open([](platform::WindowHandle dlg) { EXPECT_EQ(openSettingsDialog, dlg); });
    EXPECT_EQ(d.texts.at(IDC_ALLUSAGE), "95");
    EXPECT_EQ(d.texts.at(IDC_ALLUSAGEINFO), "80");
    EXPECT_EQ(d.texts.at(IDC_EACHUSAGE), "80");
    EXPECT_EQ(d.texts.at(IDC_INTERVALSEC), "5");
    EXPECT_EQ(d.texts.at(IDC_IGNOREPROC), "");
    EXPECT_EQ(d.texts.at(IDC_LOGFILENAME), "");
    EXPECT_EQ(d.checks.at(IDC_ALLENABLE), 1);
    EXPECT_EQ(d.checks.at(IDC_ALLINFOENABLE), 1);
    EXPECT_EQ(d.checks.at(IDC_EACHENABLE), 1);
    EXPECT_EQ(d.checks.at(IDC_WRITELOGFILE), 0);
    const std::vector<std::string> entries = {" 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8", " 9", "10"};
    EXPECT_EQ(d.lists.at(IDC_ALLCOUNT), entries);
    EXPECT_EQ(d.lists.at(IDC_ALLINFOCNT), entries);
    EXPECT_EQ(d.selections.at(IDC_ALLCOUNT), 0);
    EXPECT_EQ(d.focus, IDC_ALLUSAGE);
    EXPECT_EQ(d.selectedAll, IDC_ALLUSAGE);
    EXPECT_EQ(openSettingsDialog, nullptr);  // closed when the dialog went
}

TEST_F(SettingsDialogTest, OkCommitsEveryFieldAndRestartsTheMonitorTimer) {
    settings.allinfocnt.set(10);  // beyond the list: shown with no selection
    open([](platform::WindowHandle dlg) {
        EXPECT_EQ(list_selection(dlg, IDC_ALLINFOCNT), -1);
        type(dlg, IDC_ALLUSAGE, "1000");  // only three bytes are read: 100
        type(dlg, IDC_ALLUSAGEINFO, " +7");
        type(dlg, IDC_EACHUSAGE, "99");
        type(dlg, IDC_INTERVALSEC, "36000");  // four bytes: 3600
        type(dlg, IDC_IGNOREPROC, "a.exe,b.exe");
        type(dlg, IDC_LOGFILENAME, "/tmp/x.log");
        platform::list_select(dlg, IDC_ALLCOUNT, 9);
        platform::check_button(dlg, IDC_ALLENABLE, 0);
        platform::check_button(dlg, IDC_WRITELOGFILE, 1);
        press(dlg, IDOK);
        EXPECT_TRUE(fake::dialog(dlg).ended);
    });
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(settings.allusage.get(), 100);
    EXPECT_EQ(settings.allusageinfo.get(), 7);
    EXPECT_EQ(settings.eachusage.get(), 99);
    EXPECT_EQ(settings.intervalsec.get(), 3600);
    EXPECT_EQ(settings.ignoreproc.get(), "a.exe,b.exe");
    EXPECT_EQ(settings.logfilename.get(), "/tmp/x.log");
    EXPECT_EQ(settings.allcount.get(), 9);
    EXPECT_EQ(settings.allinfocnt.get(), -1);
    EXPECT_EQ(settings.allenable.get(), 0);
    EXPECT_EQ(settings.allinfoenable.get(), 1);
    EXPECT_EQ(settings.writelogfile.get(), 1);
    EXPECT_EQ(fake::ui().timerLog.back(), (std::pair<uintptr_t, uint32_t>{MonitorTimer, 3600000}));
}

TEST_F(SettingsDialogTest, OkWithAnUnchangedIntervalStillRestartsTheTimer) {
    const auto before = fake::ui().timerLog.size();
    open([](platform::WindowHandle dlg) { press(dlg, IDOK); });
    ASSERT_EQ(fake::ui().timerLog.size(), before + 1);
    EXPECT_EQ(fake::ui().timerLog.back(), (std::pair<uintptr_t, uint32_t>{MonitorTimer, 5000}));
}

TEST_F(SettingsDialogTest, RefusedValuesKeepTheDialogOpenAndChangeNothingButTheLogName) {
    struct Case {
        std::vector<std::pair<int, std::string>> fields;
        std::string message;
    };
    const Case cases[] = {
        {{{IDC_ALLUSAGE, "0"}}, kPercentMessage},
        {{{IDC_ALLUSAGEINFO, ""}}, kPercentMessage},
        {{{IDC_EACHUSAGE, "abc"}}, kPercentMessage},
        {{{IDC_EACHUSAGE, "-5"}}, kPercentMessage},
        {{{IDC_EACHUSAGE, "１"}}, kPercentMessage},  // a full-width digit is not a digit
        {{{IDC_ALLUSAGE, "101"}, {IDC_EACHUSAGE, "0"}}, kPercentMessage},  // one message for two
        {{{IDC_INTERVALSEC, "50000"}}, kIntervalMessage},
        {{{IDC_INTERVALSEC, "0"}}, kIntervalMessage},
        // The interval is not looked at until the percentages pass.
        {{{IDC_ALLUSAGE, "0"}, {IDC_INTERVALSEC, "0"}}, kPercentMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fields.front().second);
        restart();
        ASSERT_EQ(run_application(nullptr), 0);
        const auto timers = fake::ui().timerLog;
        open([&](platform::WindowHandle dlg) {
            for (const auto& [id, text] : c.fields) type(dlg, id, text);
            type(dlg, IDC_IGNOREPROC, "x.exe");
            type(dlg, IDC_LOGFILENAME, "new.log");
            platform::check_button(dlg, IDC_ALLENABLE, 0);
            press(dlg, IDOK);
            EXPECT_FALSE(fake::dialog(dlg).ended);
            press(dlg, IDCANCEL);
            EXPECT_TRUE(fake::dialog(dlg).ended);
        });
        EXPECT_EQ(messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(settings.logfilename.get(), "new.log");  // taken before the checks
        EXPECT_EQ(settings.ignoreproc.get(), "");
        EXPECT_EQ(settings.allenable.get(), 1);
        EXPECT_EQ(settings.allusage.get(), 95);
        EXPECT_EQ(settings.intervalsec.get(), 5);
        EXPECT_EQ(fake::ui().timerLog, timers);
    }
}

TEST_F(SettingsDialogTest, CancelAndCloseChangeNothing) {
    for (uint32_t how : {platform::WM_COMMAND, platform::WM_CLOSE}) {
        open([how](platform::WindowHandle dlg) {
            type(dlg, IDC_ALLUSAGE, "50");
            type(dlg, IDC_LOGFILENAME, "other.log");
            platform::send_message(dlg, how, how == platform::WM_COMMAND ? IDCANCEL : 0, 0);
            EXPECT_TRUE(fake::dialog(dlg).ended);
            EXPECT_EQ(openSettingsDialog, nullptr);
        });
    }
    EXPECT_EQ(settings.allusage.get(), 95);
    EXPECT_EQ(settings.logfilename.get(), "");
}

TEST_F(SettingsDialogTest, CommandsWithANotificationCodeAreIgnored) {
    open([](platform::WindowHandle dlg) {
        press(dlg, (1u << 16) | IDOK);
        press(dlg, (1u << 16) | IDCANCEL);
        press(dlg, (1u << 16) | IDC_CHOOSELOG);
        press(dlg, IDC_ALLUSAGE);
        EXPECT_FALSE(fake::dialog(dlg).ended);
        EXPECT_EQ(fake::ui().choosersRun, 0);
        press(dlg, IDCANCEL);
    });
}

TEST_F(SettingsDialogTest, ChooserOpensEmptyAndOnlyAnAcceptedPathReplacesTheField) {
    EXPECT_EQ(logFileChooser.structSize, 76u);
    EXPECT_EQ(logFileChooser.owner, fake::main_window_handle());
    EXPECT_EQ(logFileChooser.maxFile, 519u);
    EXPECT_EQ(logFileChooser.flags, 0x81006u);
    EXPECT_EQ(std::string(logFileChooser.filter, 27), std::string("LOGファイル (*.*)\0*.*\0", 27));
    const std::string longPath = "/" + std::string(300, 'p');
    open([&](platform::WindowHandle dlg) {
        type(dlg, IDC_LOGFILENAME, "typed.log");
        logFileChooser.file[0] = 'x';
        press(dlg, IDC_CHOOSELOG);  // cancelled
        EXPECT_EQ(logFileChooser.file[0], '\0');
        EXPECT_EQ(fake::dialog(dlg).texts[IDC_LOGFILENAME], "typed.log");
        fake::ui().chooserResult = longPath;
        press(dlg, IDC_CHOOSELOG);
        EXPECT_EQ(fake::dialog(dlg).texts[IDC_LOGFILENAME], longPath);  // shown whole
        press(dlg, IDOK);
    });
    EXPECT_EQ(settings.logfilename.get(), longPath.substr(0, 254));
}

TEST_F(SettingsDialogTest, NumbersAreReadLikeTheDialogReadsThem) {
    EXPECT_EQ(read_number(""), 0);
    EXPECT_EQ(read_number("  \t12x"), 12);
    EXPECT_EQ(read_number("+5"), 5);
    EXPECT_EQ(read_number("-3"), -3);
    EXPECT_EQ(read_number("- 3"), 0);
    EXPECT_EQ(read_number("99999999999999999999"), INT32_MAX);
}

TEST_F(SettingsDialogTest, AboutBoxTextsAndClosing) {
    char version[16];
    EXPECT_EQ(format_version(version, sizeof version), 9u);
    EXPECT_STREQ(version, "ver1.2β1");
    char text[256];
    const std::size_t n = format_about_text(text, sizeof text);
    EXPECT_LE(n, 255u);
    const std::string about = text;
    EXPECT_EQ(about.rfind(" Vantrel　ver1.2β1\n\n", 0), 0u);
    EXPECT_EQ(std::count(about.begin(), about.end(), '\n'), 3);

    fake::ui().whileDialogOpen = [](platform::WindowHandle dlg, int) {
        EXPECT_EQ(aboutOpen, 1);
        EXPECT_EQ(fake::dialog(dlg).focus, IDOK);
        platform::send_message(dlg, platform::WM_COMMAND, IDCANCEL, 0);  // Esc: stays open
        EXPECT_FALSE(fake::dialog(dlg).ended);
        platform::send_message(dlg, platform::WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(fake::dialog(dlg).ended);
        EXPECT_EQ(aboutOpen, 0);
    };
    platform::send_message(fake::main_window_handle(), platform::WM_COMMAND, CMD_ABOUT, 0);
    ASSERT_EQ(fake::ui().dialogsOpened, std::vector<int>{kAboutDialogTemplate});
    EXPECT_EQ(fake::dialog(fake::ui().dialogs.begin()->first).texts[IDC_ABOUTTEXT], about);
}

}  // namespace
}  // namespace vantrel::test
