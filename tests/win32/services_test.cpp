// The Win32 system services against the real system: Tool Help, the
// Performance Data Helper counters, file attributes, the executable's path,
// the clock and the code page. Under Wine the counters are a stand-in (the
// total always reads one value, process counters never attach), so the
// plumbing is checked here and the readings' logic by the core's tests. The
// append and the profile functions are the files of the core's tests, which
// run on this build too.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vantrel::platform {
namespace {

namespace fs = std::filesystem;

TEST(Win32ServicesTest, ExecutablePathAndTheSnapshotThatListsItByFileName) {
    char path[260];
    const std::size_t n = executable_path(path, sizeof path);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(std::strlen(path), n);
    EXPECT_TRUE(std::string(path).ends_with("\\win32_services_tests.exe")) << path;
    EXPECT_EQ(path[1], ':');  // a full path, drive first
    EXPECT_EQ(directory_separator(), '\\');
    // A buffer too small, even by just the terminator, gets nothing, and
    // nothing beyond its end.
    std::string small(n + 4, '#');
    EXPECT_EQ(executable_path(small.data(), n), 0u);
    EXPECT_EQ(small[0], '\0');
    EXPECT_EQ(small.substr(n), "####");
    EXPECT_EQ(executable_path(nullptr, 0), 0u);

    ProcessSnapshot* snapshot = snapshot_take();
    ASSERT_NE(snapshot, nullptr);
    std::vector<std::string> names;
    for (const char* name = snapshot_next(snapshot); name != nullptr; name = snapshot_next(snapshot))
        names.emplace_back(name);
    snapshot_close(snapshot);
    EXPECT_EQ(snapshot_next(nullptr), nullptr);
    const std::string self = fs::path(path).filename().string();
    EXPECT_NE(std::find(names.begin(), names.end(), self), names.end()) << self;
    for (const std::string& name : names) {
        EXPECT_EQ(name.find_first_of("\\/:"), std::string::npos) << name;  // no directory
        EXPECT_TRUE(name.ends_with(".exe") || name.ends_with(".EXE") || name == "[System Process]" ||
                    name == "System")
            << name;
    }
}

TEST(Win32ServicesTest, CountersReadTheTotalAndFailForAnUnknownProcess) {
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

TEST(Win32ServicesTest, AttributesAreReadAndWrittenWhole) {
    constexpr uint32_t kArchive = 0x20, kAll = kAttrReadOnly | kAttrHidden | kArchive;
    const std::string f = (fs::temp_directory_path() / ("vantrel-" + std::to_string(GetCurrentProcessId()))).string();
    EXPECT_EQ(get_file_attributes(f.c_str()), kInvalidFileAttributes);
    EXPECT_FALSE(set_file_attributes(f.c_str(), kArchive));
    std::ofstream(f) << "x";
    for (const uint32_t bits : {kAttrReadOnly | kArchive, kArchive}) {  // Wine keeps no hidden mark
        EXPECT_TRUE(set_file_attributes(f.c_str(), bits));
        EXPECT_EQ(get_file_attributes(f.c_str()) & kAll, bits);
    }
    std::error_code ec;
    fs::remove(f, ec);
}

TEST(Win32ServicesTest, LocalTimeAndCodePage) {
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
