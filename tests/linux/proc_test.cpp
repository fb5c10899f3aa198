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

int64_t ns(clockid_t clock) {
    timespec t{};
    return clock_gettime(clock, &t) == 0 ? t.tv_sec * 1'000'000'000LL + t.tv_nsec : -1;
}

procfs::ProcessStat stat_of(pid_t pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/stat";
    char text[1024];
    procfs::ProcessStat stat{};
    const ssize_t n = procfs::read_file_at(AT_FDCWD, path.c_str(), text, sizeof text);
    if (n <= 0 || !procfs::parse_process_stat({text, static_cast<std::size_t>(n)}, stat)) stat.state = 0;
    return stat;
}

bool wait_for_state(pid_t pid, char state) {
    for (int i = 0; i < 500 && stat_of(pid).state != state; ++i) usleep(10'000);
    return stat_of(pid).state == state;
}

// "sh -c ..." from exe: a busy loop at the highest priority allowed, or a
// shell that has stopped itself. Killed and reaped when the object goes.
struct Child {
    pid_t pid = -1;
    Child(const std::string& exe, bool spin) {
        const char* argv[] = {exe.c_str(), "-c", spin ? "while :; do :; done" : "kill -STOP $$", nullptr};
        EXPECT_EQ(posix_spawn(&pid, exe.c_str(), nullptr, nullptr, const_cast<char* const*>(argv), environ), 0);
        if (spin) setpriority(PRIO_PROCESS, static_cast<id_t>(pid), -20);  // may be refused
        EXPECT_TRUE(spin || wait_for_state(pid, 'T'));
    }
    Child(const Child&) = delete;
    ~Child() { end(); }
    void end() {
        if (pid > 0 && kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);
        pid = -1;
    }
};

// Opens the counters and samples each, waits gapMs and runs between, then
// samples again and reads them, as the batch measurement does.
Readings measure(const std::vector<std::string>& paths, uint32_t gapMs, const std::function<void()>& between = {}) {
    std::vector<platform::CounterQuery*> queries;
    for (const std::string& path : paths) queries.push_back(platform::counter_open(path.c_str()));
    for (platform::CounterQuery* query : queries) platform::counter_collect(query);
    platform::sleep_ms(gapMs);
    if (between) between();
    Readings readings;
    for (platform::CounterQuery* query : queries) {
        platform::counter_collect(query);
        int32_t value = 0;
        readings.push_back(platform::counter_read(query, &value) ? std::optional(value) : std::nullopt);
        platform::counter_close(query);
    }
    return readings;
}

std::vector<std::string> snapshot_names() {
    std::vector<std::string> names;
    platform::ProcessSnapshot* snapshot = platform::snapshot_take();
    while (const char* name = platform::snapshot_next(snapshot)) names.emplace_back(name);
    platform::snapshot_close(snapshot);
    return names;
}

// A copy of the shell under a name holding '#' and '(', as a counter path's
// may. Every test leaves as many descriptors open as it found.
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

    // user nice system idle iowait irq softirq steal; guest times are inside user and nice.
    const struct { const char* text; bool ok; uint64_t busy, total; } cpu[] = {
        {"cpu  100 20 30 1000 50 5 6 7 40 2\ncpu0 1 2 3 4\n", true, 168, 1218}, {"cpu 1 2 3 4\n", true, 6, 10},
        {"cpu 1 2 3\n", false, 0, 0}, {"cpu 1 2 3 4", false, 0, 0}, {"cpu0 1 2 3 4\n", false, 0, 0}};
    for (const auto& c : cpu) {
        CpuTimes times{};
        EXPECT_EQ(parse_cpu_times(c.text, times), c.ok) << c.text;
        EXPECT_TRUE(!c.ok || (times.busy == c.busy && times.total == c.total)) << c.text;
    }

    // Ticks (100 a second) over the measured gap as a share of one processor, cut at 100.
    const struct { uint64_t ticks; int64_t gapNs; int32_t percent; } process[] = {
        {50, 500'000'000, 100}, {25, 500'000'000, 50}, {200, 500'000'000, 100}, {1, 1'500'000'000, 1}, {5, 0, 0}};
    for (const auto& c : process) EXPECT_EQ(process_usage_percent(c.ticks, c.gapNs, 100), c.percent) << c.ticks;
    // The busy share of all time: busy never above the total, counters stepping back give 0.
    const struct { CpuTimes after; int32_t percent; } total[] = {
        {{150, 1200}, 25}, {{400, 1200}, 100}, {{90, 1200}, 0}, {{100, 1000}, 0}, {{200, 900}, 0}};
    for (const auto& c : total) EXPECT_EQ(total_busy_percent({100, 1000}, c.after), c.percent) << c.after.busy;
}

TEST_F(ProcTest, SnapshotListsUserProcessesInAscendingOrderUnderFullNames) {
    const std::vector<std::string> names = snapshot_names();
    ASSERT_EQ(names.size(), procfs::listed_process_count());
    std::vector<pid_t> pids;
    std::string own;
    for (std::size_t i = 0; i < names.size(); ++i) {
        pids.push_back(procfs::listed_process(i).pid);
        if (pids.back() == getpid()) own = names[i];
    }
    // This program's file name is longer than the 15 bytes the kernel keeps.
    EXPECT_EQ(own, fs::read_symlink("/proc/self/exe").filename().string());
    EXPECT_TRUE(std::adjacent_find(pids.begin(), pids.end(), std::greater_equal<>()) == pids.end());
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const pid_t pid = std::atoi(entry.path().filename().c_str());
        const bool kernelThread = pid > 0 && (stat_of(pid).flags & procfs::kKernelThreadFlag) != 0;
        EXPECT_FALSE(kernelThread && std::count(pids.begin(), pids.end(), pid) > 0) << "kernel thread " << pid;
    }
}

// Twins of one executable are instances 0 and 1 in snapshot (ascending pid) order,
// each with its own reading; the total is measured with them, over 400 and 500 ms.
// The spinner must match its true share (from its CPU clock), and read 90 or more
// once it had a whole processor, which a loaded machine may deny it.
TEST_F(ProcTest, TwinsReadTheirOwnTimeAndTheTotalSeesTheSpinner) {
    Child spinning(exe, true);
    Child stopped(exe, false);
    snapshot_names();
    const std::string spin = spinning.pid < stopped.pid ? "#0" : "#1", stop = spin == "#0" ? "#1" : "#0";
    clockid_t spinClock{};
    ASSERT_EQ(clock_getcpuclockid(spinning.pid, &spinClock), 0);
    constexpr double kTicks = 7.5;  // /proc counts whole clock ticks: three in 400 ms
    bool whole = false;
    for (uint32_t attempt = 0; attempt < 2 || (attempt < 6 && !whole); ++attempt) {
        const int64_t cpu = ns(spinClock), start = ns(CLOCK_MONOTONIC);
        const Readings r = measure({counter(name + spin), counter(name + stop), counter(name + "#2"), kTotal},
                                   400 + attempt % 2 * 100);
        const double share = 100.0 * static_cast<double>(ns(spinClock) - cpu) /
                             static_cast<double>(ns(CLOCK_MONOTONIC) - start);
        ASSERT_TRUE(r[0] && r[1] && r[3]);
        EXPECT_NEAR(*r[0], std::min(share, 100.0), kTicks);
        EXPECT_LE(*r[1], 2);
        EXPECT_FALSE(r[2]);  // there is no third
        const double floor = share / static_cast<double>(sysconf(_SC_NPROCESSORS_ONLN)) - kTicks;
        EXPECT_TRUE(*r[3] >= floor && *r[3] <= 100) << *r[3] << " " << share;
        whole = share >= 95.0;
        EXPECT_TRUE(!whole || *r[0] >= 90) << *r[0];
    }
}

TEST_F(ProcTest, AProcessThatEndsGivesAFailedCounter) {
    enum { BeforeOpen, Reaped, Zombie };
    for (const int when : {BeforeOpen, Reaped, Zombie}) {
        Child child(exe, false);
        snapshot_names();
        if (when == BeforeOpen) child.end();
        const auto end = [&] {
            if (when == Reaped) child.end();
            EXPECT_TRUE(when != Zombie || (kill(child.pid, SIGKILL) == 0 && wait_for_state(child.pid, 'Z')));
        };
        EXPECT_FALSE(measure({counter(name + "#0")}, 0, end)[0]) << when;
    }
}

TEST_F(ProcTest, MalformedPathsFailQuietly) {
    const std::string self = fs::read_symlink("/proc/self/exe").filename().string();
    snapshot_names();
    const std::vector<std::string> paths = {
        counter(self + "#0"), counter(self), counter(self + "#"), counter(self + "#-1"), counter(self + "#+0"),
        counter(self + "#0 "), counter(self + "#0x"), counter(self + "#99999999999999999999"), counter("#0"),
        std::string(), "\\Process(" + self + "#0)\\% User Time", kTotal + " ", std::string(5000, '#')};
    const Readings r = measure(paths, 1);
    EXPECT_TRUE(r[0]);  // the well-formed path
    for (std::size_t i = 1; i < paths.size(); ++i) EXPECT_FALSE(r[i]) << paths[i];
}

}  // namespace
}  // namespace vantrel::test
