// The /proc parsers on what the real /proc seldom shows, then the snapshot and
// the counters on the real /proc, with shell copies that spin, stop or end.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/proc_files.h"
#include "platform/linux/process_snapshot.h"
#include "platform/linux/processor_counters.h"
#include "platform/platform.h"

extern char** environ;

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;
using Readings = std::vector<std::optional<int32_t>>;

const std::string kTotal = "\\Processor(_Total)\\% Processor Time";
std::string counter(const std::string& object) { return "\\Process(" + object + ")\\% Processor Time"; }

double ns(clockid_t clock) {
    timespec t{};
    return clock_gettime(clock, &t) == 0 ? static_cast<double>(t.tv_sec) * 1e9 + t.tv_nsec : -1;
}

// "sh -c" from exe: a busy loop at the highest priority allowed, or stopped. Reaped when it goes.
struct Child {
    pid_t pid = -1;
    Child(const std::string& exe, bool spin) {
        const char* argv[] = {exe.c_str(), "-c", spin ? "while :; do :; done" : "kill -STOP $$", nullptr};
        EXPECT_EQ(posix_spawn(&pid, exe.c_str(), nullptr, nullptr, const_cast<char* const*>(argv), environ), 0);
        if (spin) setpriority(PRIO_PROCESS, static_cast<id_t>(pid), -20);  // may be refused
        EXPECT_TRUE(spin || wait(WSTOPPED));
    }
    Child(const Child&) = delete;
    ~Child() { end(); }
    bool wait(int what) {  // until it has stopped or ended, leaving it so
        siginfo_t info{};
        return waitid(P_PID, static_cast<id_t>(pid), &info, what | WNOWAIT) == 0;
    }
    void end() {
        if (pid > 0 && kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);
        pid = -1;
    }
};

// Samples, waits ms and runs between, samples again and reads, as the batch measurement does.
Readings measure(const std::vector<std::string>& paths, uint32_t ms, const std::function<void()>& between = [] {}) {
    std::vector<platform::CounterQuery*> qs;
    for (const std::string& p : paths) platform::counter_collect(qs.emplace_back(platform::counter_open(p.c_str())));
    platform::sleep_ms(ms);
    between();
    Readings readings;
    for (platform::CounterQuery* query : qs) {
        int32_t value = 0;
        platform::counter_collect(query);
        readings.push_back(platform::counter_read(query, &value) ? std::optional(value) : std::nullopt);
        platform::counter_close(query);
    }
    return readings;
}

// A copy of the shell named with '#' and '('; every test leaves as many descriptors open as it found.
class ProcTest : public ::testing::Test {
protected:
    const std::string dir = fs::temp_directory_path() / ("vantrel-proc-" + std::to_string(getpid()));
    const std::string name = "v#(" + std::to_string(getpid()) + ")";  // under 16 bytes: never cut
    const std::string exe = dir + "/" + name;
    const std::ptrdiff_t descriptors = std::distance(fs::directory_iterator("/proc/self/fd"), {});
    void SetUp() override {
        fs::create_directory(dir);
        fs::copy_file("/bin/sh", exe, fs::copy_options::overwrite_existing);
    }
    void TearDown() override {
        EXPECT_EQ(std::distance(fs::directory_iterator("/proc/self/fd"), {}), descriptors);
        fs::remove_all(dir);
    }
};

TEST(ProcParsers, StatTextsCpuTimesAndPercentages) {
    using namespace procfs;
    const std::string text = "42 (a) S 1 (b) S 1 42 42 0 -1 4194560 2000 0 5 0 120 30 0 0 20 0 1 0 98765 118 0\n";
    ProcessStat stat{};
    ASSERT_TRUE(parse_process_stat(text, stat));
    EXPECT_EQ(stat.name, "a) S 1 (b");  // it ends at the last ')'
    EXPECT_TRUE(stat.state == 'S' && stat.flags == 4194560 && stat.cpuTicks == 150 && stat.startTime == 98765);
    EXPECT_FALSE(parse_process_stat(text.substr(0, text.find(" 98765 ") + 6), stat));  // may be a cut number

    const struct { const char* text; bool ok; uint64_t busy, total; } cpu[] = {  // guest is inside user, nice
        {"cpu  100 20 30 1000 50 5 6 7 40 2\ncpu0 1 2 3 4\n", true, 168, 1218}, {"cpu 1 2 3 4\n", true, 6, 10},
        {"cpu 1 2 3\n", false, 0, 0}, {"cpu 1 2 3 4", false, 0, 0}, {"cpu0 1 2 3 4\n", false, 0, 0}};
    for (const auto& [in, ok, busy, total] : cpu) {
        CpuTimes t{};
        EXPECT_TRUE(parse_cpu_times(in, t) == ok && (!ok || (t.busy == busy && t.total == total))) << in;
    }
    // Ticks (100/s) over the gap, cut at 100; the busy share: at most the total, 0 when counters step back.
    const struct { uint64_t ticks; int64_t gapNs; int32_t percent; } process[] = {
        {50, 500'000'000, 100}, {25, 500'000'000, 50}, {200, 500'000'000, 100}, {1, 1'500'000'000, 1}, {5, 0, 0}};
    for (const auto& c : process) EXPECT_EQ(process_usage_percent(c.ticks, c.gapNs, 100), c.percent) << c.ticks;
    const struct { CpuTimes after; int32_t percent; } total[] = {
        {{150, 1200}, 25}, {{400, 1200}, 100}, {{90, 1200}, 0}, {{100, 1000}, 0}, {{200, 900}, 0}};
    for (const auto& c : total) EXPECT_EQ(total_busy_percent({100, 1000}, c.after), c.percent) << c.after.busy;
}

// The snapshot: user processes by ascending pid, this program under its full name (the kernel keeps
// 15 bytes). Twins are instances 0 and 1 in that order, read over 400 and 500 ms: the spinner matches
// its true share (its CPU clock), 90 or more once it had a whole processor. Malformed paths fail.
TEST_F(ProcTest, SnapshotAndTheCountersResolvedAgainstIt) {
    Child spinning(exe, true);
    Child stopped(exe, false);
    const std::string self = fs::read_symlink("/proc/self/exe").filename().string();
    platform::ProcessSnapshot* snapshot = platform::snapshot_take();
    std::size_t i = 0;
    for (const char* listed; (listed = platform::snapshot_next(snapshot)) != nullptr; ++i) {
        const pid_t pid = procfs::listed_process(i).pid;
        EXPECT_TRUE(i == 0 || procfs::listed_process(i - 1).pid < pid) << pid;
        EXPECT_TRUE(pid != getpid() || listed == self) << listed;
        char text[1024] = {};
        procfs::read_file_at(AT_FDCWD, ("/proc/" + std::to_string(pid) + "/stat").c_str(), text, sizeof text - 1);
        procfs::ProcessStat stat{};
        EXPECT_FALSE(procfs::parse_process_stat(text, stat) && (stat.flags & procfs::kKernelThreadFlag)) << pid;
    }
    platform::snapshot_close(snapshot);
    EXPECT_EQ(i, procfs::listed_process_count());

    const std::string spin = spinning.pid < stopped.pid ? "#0" : "#1", stop = spin == "#0" ? "#1" : "#0";
    const std::vector<std::string> paths = {counter(name + spin), counter(name + stop), kTotal, counter(self + "#0"),
        counter(name + "#2"), counter(self), counter(self + "#"), counter(self + "#-1"), counter(self + "#+0"),
        counter(self + "#0 "), counter(self + "#0x"), counter(self + "#99999999999999999999"), counter("#0"),
        std::string(), "\\Process(" + self + "#0)\\% User Time", kTotal + " ", std::string(5000, '#')};
    clockid_t spinClock{};
    ASSERT_EQ(clock_getcpuclockid(spinning.pid, &spinClock), 0);
    constexpr double kTicks = 7.5;  // /proc counts whole clock ticks: three in 400 ms
    bool whole = false;
    for (uint32_t attempt = 0; attempt < 2 || (attempt < 6 && !whole); ++attempt) {
        const double cpu = ns(spinClock), start = ns(CLOCK_MONOTONIC);
        const Readings r = measure(paths, 400 + attempt % 2 * 100);
        const double share = 100.0 * (ns(spinClock) - cpu) / (ns(CLOCK_MONOTONIC) - start);
        ASSERT_TRUE(r[0] && r[1] && r[2] && r[3]);
        EXPECT_NEAR(*r[0], std::min(share, 100.0), kTicks);
        EXPECT_LE(*r[1], 2);
        const double floor = share / static_cast<double>(sysconf(_SC_NPROCESSORS_ONLN)) - kTicks;
        EXPECT_TRUE(*r[2] >= floor && *r[2] <= 100) << *r[2] << " " << share;  // the total sees the spinner
        whole = share >= 95.0;
        EXPECT_TRUE(!whole || *r[0] >= 90) << *r[0];
        for (std::size_t k = 4; k < paths.size(); ++k) EXPECT_FALSE(r[k]) << paths[k];
    }
}

TEST_F(ProcTest, AProcessThatEndsGivesAFailedCounter) {
    enum { BeforeOpen, Reaped, Zombie };
    for (const int when : {BeforeOpen, Reaped, Zombie}) {
        Child child(exe, false);
        platform::snapshot_close(platform::snapshot_take());
        if (when == BeforeOpen) child.end();
        EXPECT_FALSE(measure({counter(name + "#0")}, 0, [&] {
            if (when == Reaped) child.end();
            EXPECT_TRUE(when != Zombie || (kill(child.pid, SIGKILL) == 0 && child.wait(WEXITED)));
        })[0]) << when;
    }
}

}  // namespace
}  // namespace vantrel::test
