// The /proc parsers and the reading arithmetic, on texts and numbers chosen
// to break them.
#include <gtest/gtest.h>

#include <string>

#include "platform/linux/proc_files.h"
#include "platform/linux/processor_counters.h"

namespace vantrel::procfs {
namespace {

// A /proc/PID/stat line with the given name, flags, times and start time.
std::string stat_line(const std::string& name, const char* flags = "4194560",
                      const char* utime = "120", const char* stime = "30",
                      const char* start = "98765") {
    return "4242 (" + name + ") S 1 4242 4242 0 -1 " + flags + " 2000 0 5 0 " + utime + " " + stime +
           " 0 0 20 0 1 0 " + start + " 11812864 1100 18446744073709551615 1 1 0 0 0 0 0 4096 0 0 0 0 "
           "17 1 0 0 0 0 0\n";
}

TEST(ProcessStatParser, ReadsTheFieldsWhateverTheNameHolds) {
    for (const std::string name : {"bash", "", "a) S 1 2 (b", "x)(y", "two  spaces", "))"}) {
        const std::string line = stat_line(name);  // the name is a view into it
        ProcessStat stat{};
        ASSERT_TRUE(parse_process_stat(line, stat)) << name;
        EXPECT_EQ(stat.name, name);
        EXPECT_EQ(stat.state, 'S');
        EXPECT_EQ(stat.flags, 4194560u);
        EXPECT_EQ(stat.cpuTicks, 150u);
        EXPECT_EQ(stat.startTime, 98765u);
    }
    ProcessStat stat{};
    ASSERT_TRUE(parse_process_stat(stat_line("kworker/0:1", "2129984"), stat));
    EXPECT_NE(stat.flags & kKernelThreadFlag, 0u);
}

TEST(ProcessStatParser, RejectsCutAndDamagedTexts) {
    const std::string whole = stat_line("sleep");
    ProcessStat stat{};
    // A text cut anywhere up to just after the start time lacks a field or
    // could hold a shortened number.
    const std::size_t afterStart = whole.find(" 98765 ") + 6;
    for (std::size_t cut = 0; cut <= afterStart; ++cut) {
        EXPECT_FALSE(parse_process_stat(whole.substr(0, cut), stat)) << cut;
    }
    EXPECT_TRUE(parse_process_stat(whole.substr(0, afterStart + 1), stat));
    EXPECT_FALSE(parse_process_stat(stat_line("x", "12a"), stat));
    EXPECT_FALSE(parse_process_stat(stat_line("x", "4194560", "-5"), stat));
    EXPECT_FALSE(parse_process_stat(stat_line("x", "1", "1", "1", "99999999999999999999999"), stat));
    EXPECT_FALSE(parse_process_stat("4242 sleep) S 1", stat));
    EXPECT_FALSE(parse_process_stat(")(", stat));
}

TEST(CpuTimesParser, CountsIdleAndIowaitAsNotBusy) {
    CpuTimes times{};
    // user nice system idle iowait irq softirq steal guest guest_nice
    ASSERT_TRUE(parse_cpu_times("cpu  100 20 30 1000 50 5 6 7 40 2\ncpu0 1 2 3 4\n", times));
    EXPECT_EQ(times.busy, 100u + 20 + 30 + 5 + 6 + 7);
    EXPECT_EQ(times.total, times.busy + 1000 + 50);

    ASSERT_TRUE(parse_cpu_times("cpu 1 2 3 4\n", times));  // an old kernel's four fields
    EXPECT_EQ(times.busy, 6u);
    EXPECT_EQ(times.total, 10u);

    for (const char* bad : {"cpu 1 2 3\n", "cpu 1 2 3 4", "cpu0 1 2 3 4\n", "intr 1 2 3 4\n",
                            "cpu 1 2 x 4\n", "cpu 1 -2 3 4\n", "", "cpu\n"}) {
        EXPECT_FALSE(parse_cpu_times(bad, times)) << bad;
    }
}

TEST(PidPath, FitsOrGivesZero) {
    char out[16];
    EXPECT_EQ(format_pid_path(out, sizeof out, "/proc/", 42, "/stat"), 13u);
    EXPECT_STREQ(out, "/proc/42/stat");
    EXPECT_EQ(format_pid_path(out, sizeof out, "/proc/", 1234567, "/stat"), 0u);
    EXPECT_EQ(format_pid_path(out, 13, "/proc/", 42, "/stat"), 0u);  // no room for the terminator
}

TEST(ProcessUsage, IsOneProcessorsShareOverTheGapCutAt100) {
    constexpr int64_t kHalfSecond = 500'000'000;
    EXPECT_EQ(process_usage_percent(50, kHalfSecond, 100), 100);
    EXPECT_EQ(process_usage_percent(25, kHalfSecond, 100), 50);
    EXPECT_EQ(process_usage_percent(1, kHalfSecond, 100), 2);
    EXPECT_EQ(process_usage_percent(0, kHalfSecond, 100), 0);
    EXPECT_EQ(process_usage_percent(200, kHalfSecond, 100), 100);  // four threads busy
    EXPECT_EQ(process_usage_percent(1, 3 * kHalfSecond, 100), 1);  // 0.67 rounds up
    EXPECT_EQ(process_usage_percent(1, 1'000'000'000'000, 100), 0);
    // The gap is measured, so it can be longer than asked for.
    EXPECT_EQ(process_usage_percent(50, 2 * kHalfSecond, 100), 50);
    // No time between the samples, or time going backwards: no division.
    EXPECT_EQ(process_usage_percent(5, 0, 100), 0);
    EXPECT_EQ(process_usage_percent(5, -1, 100), 0);
    EXPECT_EQ(process_usage_percent(5, kHalfSecond, 0), 0);
}

TEST(TotalUsage, IsTheBusyShareOfAllTimeWithin0And100) {
    EXPECT_EQ(total_busy_percent({100, 1000}, {150, 1200}), 25);
    EXPECT_EQ(total_busy_percent({100, 1000}, {300, 1200}), 100);
    EXPECT_EQ(total_busy_percent({100, 1000}, {100, 1200}), 0);
    EXPECT_EQ(total_busy_percent({100, 1000}, {100, 1000}), 0);  // no time passed
    EXPECT_EQ(total_busy_percent({100, 1000}, {90, 1200}), 0);   // busy went backwards
    EXPECT_EQ(total_busy_percent({100, 1000}, {400, 1200}), 100);
    EXPECT_EQ(total_busy_percent({100, 1000}, {200, 900}), 0);  // total went backwards
}

}  // namespace
}  // namespace vantrel::procfs
