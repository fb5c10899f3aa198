#include "tests/core/core_fixture.h"

#include <random>

#include "monitor/ignore_list.h"

namespace vantrel::test {

namespace fs = std::filesystem;

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

    // A new folder of the test's own in the system's temporary folder.
    const fs::path base = fs::temp_directory_path();
    static std::mt19937_64 rng{std::random_device{}()};
    std::error_code ec;
    do {
        dir_ = (base / ("vantrel-test-" + std::to_string(rng()))).string();
    } while (!fs::create_directory(dir_, ec) && !ec);
    ASSERT_FALSE(ec) << ec.message();
    fake::system().executablePath = dir_ + "/vantrel";
}

void CoreTest::TearDown() {
    fake::join_workers();
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    for (const auto& entry : fs::recursive_directory_iterator(dir_, ec))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
}

void CoreTest::set_read_only(const std::string& path) {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

bool CoreTest::is_read_only(const std::string& path) {
    return (fs::status(path).permissions() & fs::perms::owner_write) == fs::perms::none;
}

std::vector<uint32_t> CoreTest::request_kinds() {
    std::vector<uint32_t> kinds;
    for (const fake::IconRequest& r : icon_requests()) kinds.push_back(r.request);
    return kinds;
}

}  // namespace vantrel::test
