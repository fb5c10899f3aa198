#include "tests/core/core_fixture.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "alerts/alert_rules.h"
#include "alerts/tray_icon.h"
#include "monitor/ignore_list.h"
#include "monitor/process_table.h"
#include "settings/settings_table.h"
#include "shell/about_dialog.h"
#include "shell/app_ids.h"
#include "shell/settings_dialog.h"

namespace vantrel::test {

void CoreTest::SetUp() {
    fake::reset_system();
    fake::reset_ui();
    reset_to_defaults(settings);
    clear_table(processTable);
    cycleState.busy = cycleState.exitPending = 0;
    cycleState.sweepSize = cycleState.batchIndex = 0;
    warnStreak = noticeStreak = 0;
    remove_icon();
    clear_icon_requests();
    clear_ignore_list(ignoreList);
    openSettingsDialog = nullptr;
    aboutOpen = 0;
    appInstance = nullptr;
    mainWindow = fake::main_window_handle();

    char templ[] = "/tmp/vantrel-test-XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    dir_ = templ;
    fake::system().executablePath = dir_ + "/vantrel";
}

void CoreTest::TearDown() {
    fake::join_workers();
    std::error_code ec;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dir_, ec);
}

std::string CoreTest::read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void CoreTest::write_file(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

bool CoreTest::exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace vantrel::test
