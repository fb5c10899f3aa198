// The fixture of the core's unit tests: every process-wide state back to
// program start, the fake system and user interface reset, and a temporary
// folder that holds the executable's companion files. It brings the headers
// of the state it resets, which its tests read and set.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "alerts/alert_rules.h"
#include "alerts/tray_icon.h"
#include "monitor/ignore_list.h"
#include "monitor/process_table.h"
#include "settings/settings_table.h"
#include "shell/about_dialog.h"
#include "shell/app_ids.h"
#include "shell/settings_dialog.h"
#include "tests/fakes/fake_system.h"
#include "tests/fakes/fake_ui.h"

namespace vantrel::test {

namespace fs = std::filesystem;

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override {
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
        static std::mt19937_64 rng{std::random_device{}()};
        std::error_code ec;
        do {
            dir_ = (fs::temp_directory_path() / ("vantrel-test-" + std::to_string(rng()))).string();
        } while (!fs::create_directory(dir_, ec) && !ec);
        ASSERT_FALSE(ec) << ec.message();
        fake::system().executablePath = dir_ + "/vantrel";
    }
    void TearDown() override {
        fake::join_workers();
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
        for (const auto& entry : fs::recursive_directory_iterator(dir_, ec))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_, ec);
    }

    // Starts afresh inside a test that walks through several cases.
    void restart() {
        TearDown();
        SetUp();
    }

    // A path in the temporary folder, which is also the executable's folder.
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    std::string ini() const { return path("Vantrel.ini"); }  // the settings file

    static std::string read_file(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void write_file(const std::string& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }
    // The file's read-only mark: the write permissions on Linux, the
    // read-only attribute on Windows.
    static void set_read_only(const std::string& path) {
        fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }
    static bool is_read_only(const std::string& path) {
        return (fs::status(path).permissions() & fs::perms::owner_write) == fs::perms::none;
    }

    static intptr_t send(uint32_t message, uintptr_t wparam = 0, intptr_t lparam = 0) {
        return platform::send_message(fake::main_window_handle(), message, wparam, lparam);
    }

    // The notify-icon requests sent so far, their kinds, and forgetting them.
    using Kinds = std::vector<uint32_t>;
    static const std::vector<fake::IconRequest>& icon_requests() { return fake::ui().iconRequests; }
    static Kinds request_kinds() {
        Kinds kinds;
        for (const fake::IconRequest& r : icon_requests()) kinds.push_back(r.request);
        return kinds;
    }
    static void clear_icon_requests() { fake::ui().iconRequests.clear(); }

private:
    std::string dir_;
};

}  // namespace vantrel::test
