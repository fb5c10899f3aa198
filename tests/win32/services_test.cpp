// The Win32 system services against the real system: Tool Help, the
// Performance Data Helper counters, file attributes, the executable's path
// and the append. Under Wine the counters are a stand-in (the total always
// reads one value, process counters never attach), so the plumbing is
// checked here and the readings' logic by the core's tests.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vantrel::platform {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Win32ServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vantrel-win32-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(dir_, ec)) set_file_attributes(entry.path().string().c_str(), 0x80);
        fs::remove_all(dir_, ec);
    }
    std::string file(const char* name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

TEST_F(Win32ServicesTest, SnapshotListsTheRunningProgramsByFileName) {
    ProcessSnapshot* snapshot = snapshot_take();
    ASSERT_NE(snapshot, nullptr);
    std::vector<std::string> names;
    for (const char* name = snapshot_next(snapshot); name != nullptr; name = snapshot_next(snapshot))
        names.emplace_back(name);
    snapshot_close(snapshot);
    EXPECT_EQ(snapshot_next(nullptr), nullptr);

    char self[260];
    ASSERT_GT(executable_path(self, sizeof self), 0u);
    const std::string selfName = fs::path(self).filename().string();
    EXPECT_NE(std::find(names.begin(), names.end(), selfName), names.end()) << selfName;
    for (const std::string& name : names) {
        EXPECT_EQ(name.find_first_of("\\/:"), std::string::npos) << name;  // no directory
        EXPECT_TRUE(name.ends_with(".exe") || name.ends_with(".EXE") || name == "[System Process]" ||
                    name == "System")
            << name;
    }
}

TEST_F(Win32ServicesTest, CountersReadTheTotalAndFailForAnUnknownProcess) {
    CounterQuery* total = counter_open("\\Processor(_Total)\\% Processor Time");
    CounterQuery* missing = counter_open("\\Process(no-such-process#0)\\% Processor Time");
    CounterQuery* unnamed = counter_open(nullptr);
    for (CounterQuery* q : {total, missing, unnamed}) counter_collect(q);
    sleep_ms(500);
    int32_t value = -1;
    for (CounterQuery* q : {total, missing, unnamed}) counter_collect(q);
    EXPECT_TRUE(counter_read(total, &value));
    EXPECT_GE(value, 0);
    EXPECT_LE(value, 100);
    // A failed reading leaves the caller's value as it was: never a stale one.
    value = 12345;
    EXPECT_FALSE(counter_read(missing, &value));
    EXPECT_FALSE(counter_read(unnamed, &value));
    EXPECT_EQ(value, 12345);
    for (CounterQuery* q : {total, missing, unnamed}) counter_close(q);
}

TEST_F(Win32ServicesTest, AttributesAreReadAndWrittenWhole) {
    constexpr uint32_t kArchive = 0x20, kAll = kAttrReadOnly | kAttrHidden | kArchive;
    const std::string f = file("a.ini");
    EXPECT_EQ(get_file_attributes(f.c_str()), kInvalidFileAttributes);
    EXPECT_FALSE(set_file_attributes(f.c_str(), kArchive));
    std::ofstream(f) << "x";
    for (const uint32_t bits : {kAttrReadOnly | kArchive, kArchive}) {  // Wine keeps no hidden mark
        ASSERT_TRUE(set_file_attributes(f.c_str(), bits));
        EXPECT_EQ(get_file_attributes(f.c_str()) & kAll, bits);
    }
}

TEST_F(Win32ServicesTest, ExecutablePathFitsOrIsRefused) {
    char path[260];
    const std::size_t n = executable_path(path, sizeof path);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(std::strlen(path), n);
    EXPECT_TRUE(std::string(path).ends_with("\\win32_services_tests.exe")) << path;
    EXPECT_EQ(path[1], ':');  // a full path, drive first
    EXPECT_EQ(directory_separator(), '\\');
    // A buffer too small gets nothing, and nothing beyond its end.
    char small[12];
    std::memset(small, '#', sizeof small);
    EXPECT_EQ(executable_path(small, 8), 0u);
    EXPECT_EQ(small[0], '\0');
    EXPECT_EQ(std::string(small + 8, 4), "####");
    EXPECT_EQ(executable_path(small, n), 0u);
    EXPECT_EQ(executable_path(nullptr, 0), 0u);
}

TEST_F(Win32ServicesTest, AppendCreatesAndAddsAfterTheLastByte) {
    const std::string f = file("log.txt");
    EXPECT_EQ(append_file_bytes(f.c_str(), "a\r\n", 3), 0);
    std::ofstream(f, std::ios::binary | std::ios::app) << "\x1a\xff";
    EXPECT_EQ(append_file_bytes(f.c_str(), "b\n", 2), 0);
    EXPECT_EQ(contents(f), std::string("a\r\n\x1a\xff" "b\n"));  // no text-mode translation
    EXPECT_EQ(append_file_bytes(file("no-dir\\x.txt").c_str(), "c", 1), 1);
    EXPECT_EQ(append_file_bytes(dir_.string().c_str(), "c", 1), 1);
    ASSERT_TRUE(set_file_attributes(f.c_str(), kAttrReadOnly));
    EXPECT_EQ(append_file_bytes(f.c_str(), "c", 1), 1);
    EXPECT_EQ(contents(f), std::string("a\r\n\x1a\xff" "b\n"));
}

TEST_F(Win32ServicesTest, LocalTimeAndCodePage) {
    const LocalTime t = local_time();
    EXPECT_GE(t.year, 2020);
    EXPECT_TRUE(t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour <= 23);
    // The suite runs Wine in code page 932: its lead bytes, and no others.
    const CodePage cp = system_code_page();
    EXPECT_EQ(cp.kind, CodePage::Kind::Ansi);
    EXPECT_EQ(cp.leadBytes, CodePage::Cp932.leadBytes);
}

}  // namespace
}  // namespace vantrel::platform
