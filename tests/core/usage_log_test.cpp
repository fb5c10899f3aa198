// The usage log: the line format and where the line goes.
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "log/usage_log.h"
#include "monitor/process_table.h"
#include "settings/settings_table.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

class UsageLogTest : public CoreTest {
protected:
    void append(int32_t total) {
        processTable.slots[kTotalSlot].usage = total;
        append_usage_line(processTable);
    }
    std::string log() { return read_file(path("cpuusagelog.txt")); }
};

TEST_F(UsageLogTest, LineFormat) {
    char line[100];
    const struct {
        platform::LocalTime time;
        int32_t value;
        const char* text;
    } cases[] = {
        {{2008, 3, 7, 9, 5, 2}, 37, "2008/03/07  9:05:02\t37\r\n"},
        {{2008, 12, 31, 23, 59, 59}, 100, "2008/12/31 23:59:59\t100\r\n"},
        {{2026, 1, 1, 0, 0, 0}, -1, "2026/01/01  0:00:00\t-1\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(format_usage_line(line, sizeof line, c.time, c.value), std::strlen(c.text));
        EXPECT_STREQ(line, c.text);
    }
}

TEST_F(UsageLogTest, ReadingsOutsideZeroToHundredAreLoggedAsMinusOne) {
    for (int32_t v : {0, 100, 101, -1, -7, INT32_MAX}) append(v);
    const std::string t = "2008/03/07  9:05:02\t";
    EXPECT_EQ(log(), t + "0\r\n" + t + "100\r\n" + t + "-1\r\n" + t + "-1\r\n" + t + "-1\r\n" + t + "-1\r\n");
}

TEST_F(UsageLogTest, NamedFileGetsTheLinesAfterItsContent) {
    write_file(path("named.log"), "kept\r\nbytes\xff");
    settings.logfilename.set(path("named.log"));
    append(5);
    EXPECT_EQ(read_file(path("named.log")), "kept\r\nbytes\xff" "2008/03/07  9:05:02\t5\r\n");
    EXPECT_FALSE(exists(path("cpuusagelog.txt")));
}

TEST_F(UsageLogTest, UnusableNamedFileFallsBackToTheDefaultFile) {
    ::mkdir(path("adir").c_str(), 0755);
    write_file(path("ro.log"), "old");
    ::chmod(path("ro.log").c_str(), 0444);
    const std::string names[] = {"", path("missing/dir/x.log"), path("adir"), path("ro.log")};
    for (const auto& name : names) {
        settings.logfilename.set(name);
        append(1);
    }
    std::string expected;
    for (int i = 0; i < 4; ++i) expected += "2008/03/07  9:05:02\t1\r\n";
    EXPECT_EQ(log(), expected);
    // The named file is never changed, not even in its permissions.
    EXPECT_EQ(read_file(path("ro.log")), "old");
    struct stat st {};
    ::stat(path("ro.log").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    EXPECT_FALSE(exists(path("missing")));
}

TEST_F(UsageLogTest, ReadOnlyDefaultFileIsMadeWritableAndReceivesTheLine) {
    write_file(path("cpuusagelog.txt"), "x\r\n");
    ::chmod(path("cpuusagelog.txt").c_str(), 0444);
    append(42);
    EXPECT_EQ(log(), "x\r\n2008/03/07  9:05:02\t42\r\n");
    struct stat st {};
    ::stat(path("cpuusagelog.txt").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(UsageLogTest, NoUsableLocationLosesTheLineQuietly) {
    fake::system().executablePath = "";
    append(3);
    fake::system().executablePath = "/proc/no-such-dir/vantrel";
    append(3);
    EXPECT_FALSE(exists(path("cpuusagelog.txt")));
}

}  // namespace
}  // namespace vantrel::test
