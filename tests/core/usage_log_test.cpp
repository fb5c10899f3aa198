// The usage log: the line format and where the line goes.
#include <filesystem>

#include "log/usage_log.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

class UsageLogTest : public CoreTest {
protected:
    static void append(int32_t total) {
        processTable.slots[kTotalSlot].usage = total;
        append_usage_line(processTable);
    }
};

TEST_F(UsageLogTest, LineFormatAndValues) {
    const std::string t = "2008/03/07  9:05:02\t";  // the fake clock
    for (int32_t v : {0, 100, 101, -7}) append(v);
    fake::system().now = {2008, 12, 31, 23, 59, 59};
    append(37);
    fake::system().now = {2026, 1, 1, 0, 0, 0};
    append(5);
    EXPECT_EQ(read_file(path("cpuusagelog.txt")),
              t + "0\r\n" + t + "100\r\n" + t + "-1\r\n" + t + "-1\r\n2008/12/31 23:59:59\t37\r\n"
                  "2026/01/01  0:00:00\t5\r\n");
}

TEST_F(UsageLogTest, NamedFileOrTheDefaultFile) {
    write_file(path("named.log"), "kept\r\nbytes\xff");
    settings.logfilename.set(path("named.log"));
    append(5);
    EXPECT_EQ(read_file(path("named.log")), "kept\r\nbytes\xff" "2008/03/07  9:05:02\t5\r\n");
    EXPECT_FALSE(exists(path("cpuusagelog.txt")));

    // Unusable names go to the default file, which is made writable; the
    // named file is never changed, not even in its permissions.
    std::filesystem::create_directory(path("adir"));
    write_file(path("ro.log"), "old");
    set_read_only(path("ro.log"));
    write_file(path("cpuusagelog.txt"), "x\r\n");
    set_read_only(path("cpuusagelog.txt"));
    for (const std::string& name : {std::string(), path("no/dir/x.log"), path("adir"), path("ro.log")}) {
        settings.logfilename.set(name);
        append(1);
    }
    std::string expected = "x\r\n";
    for (int i = 0; i < 4; ++i) expected += "2008/03/07  9:05:02\t1\r\n";
    EXPECT_EQ(read_file(path("cpuusagelog.txt")), expected);
    EXPECT_FALSE(is_read_only(path("cpuusagelog.txt")));
    EXPECT_EQ(read_file(path("ro.log")), "old");
    EXPECT_TRUE(is_read_only(path("ro.log")));

    // No usable location at all: the line is lost quietly.
    fake::system().executablePath = path("no-such-dir/vantrel");
    append(3);
    EXPECT_EQ(read_file(path("cpuusagelog.txt")), expected);
}

}  // namespace
}  // namespace vantrel::test
