// The processor-time counters against the real /proc, with children that
// spin, stop, end, or take over an ended child's pid.
#include <gtest/gtest.h>

#include <linux/sched.h>
#include <signal.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <string>
#include <thread>

#include "platform/linux/process_snapshot.h"
#include "platform/platform.h"
#include "tests/linux/child_process.h"

namespace vantrel::test {
namespace {

// A spinning child may lose its processor for a while on a loaded machine,
// so it is given a few gaps to show a whole processor.
constexpr int kAttempts = 5;

// /proc/PID/stat counts whole clock ticks, each 2 % of a 500 ms gap, and
// splits and rounds user and system time separately.
constexpr double kTickTolerance = 6.0;

std::string unique_name(const char* suffix) { return "vt" + std::to_string(getpid()) + suffix; }

int64_t nanoseconds(clockid_t clock) {
    timespec now{};
    if (clock_gettime(clock, &now) != 0) return -1;
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The processor time the process has used, from its CPU clock: nanosecond
// precision, and independent of /proc/PID/stat.
int64_t cpu_clock_ns(pid_t pid) {
    clockid_t clock{};
    return clock_getcpuclockid(pid, &clock) == 0 ? nanoseconds(clock) : -1;
}

// Measures the paths together, the first naming the spinning child. Its
// reading must match its true share of one processor over the same time,
// and reach 90 once the machine leaves it a whole processor; on a machine
// too busy for that (other sessions' load is shared out by session, whatever
// the child's priority), the match is what is checked. Returns the readings
// of the last attempt.
std::vector<std::optional<int32_t>> measure_with_spinner(const std::vector<std::string>& paths,
                                                         pid_t spinner) {
    std::vector<std::optional<int32_t>> readings;
    bool wholeProcessor = false;
    for (int attempt = 0; attempt < kAttempts && !wholeProcessor; ++attempt) {
        const int64_t cpuBefore = cpu_clock_ns(spinner);
        const int64_t timeBefore = nanoseconds(CLOCK_MONOTONIC);
        readings = measure_together(paths);
        const double truePercent = 100.0 * static_cast<double>(cpu_clock_ns(spinner) - cpuBefore) /
                                   static_cast<double>(nanoseconds(CLOCK_MONOTONIC) - timeBefore);
        if (!readings[0]) {
            ADD_FAILURE() << "no reading for the spinning child";
            return readings;
        }
        EXPECT_NEAR(*readings[0], std::min(truePercent, 100.0), kTickTolerance);
        wholeProcessor = truePercent >= 95.0;
        if (wholeProcessor) {
            EXPECT_GE(*readings[0], 90);
        }
    }
    if (!wholeProcessor) {
        std::cout << "note: the spinning child never had a whole processor; its readings were "
                     "checked against its true share\n";
    }
    return readings;
}

TEST(ProcessCounter, ASpinningChildReadsAWholeProcessorAndAStoppedOneNothing) {
    TempDir dir;
    const std::string spinName = unique_name("spin");
    const std::string stopName = unique_name("stop");
    Child spinning = spawn_shell(dir.shell_copy(spinName), spinName, kSpinScript);
    Child stopped = spawn_shell(dir.shell_copy(stopName), stopName, kStopScript);
    snapshot_names();

    const auto readings = measure_with_spinner(
        {process_counter_path(spinName, 0), process_counter_path(stopName, 0)}, spinning.pid());
    ASSERT_TRUE(readings[1]);
    EXPECT_LE(*readings[1], 2);
}

TEST(ProcessCounter, TwinsOfOneExecutableAreInstancesInSnapshotOrder) {
    TempDir dir;
    const std::string name = unique_name("twin");
    const std::string path = dir.shell_copy(name);
    Child spinning = spawn_shell(path, name, kSpinScript);
    Child stopped = spawn_shell(path, name, kStopScript);

    std::vector<pid_t> order;
    const std::vector<std::string> names = snapshot_names();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) order.push_back(procfs::listed_process(i).pid);
    }
    ASSERT_EQ(order.size(), 2u);
    const int spinningInstance = order[0] == spinning.pid() ? 0 : 1;

    const auto readings = measure_with_spinner({process_counter_path(name, spinningInstance),
                                                process_counter_path(name, 1 - spinningInstance),
                                                process_counter_path(name, 2)},
                                               spinning.pid());
    ASSERT_TRUE(readings[1]);
    EXPECT_LE(*readings[1], 2);
    EXPECT_FALSE(readings[2]);  // there is no third
}

TEST(ProcessCounter, AProcessThatEndedGivesAFailedCounter) {
    TempDir dir;
    const std::string name = unique_name("ends");
    const std::string path = dir.shell_copy(name);
    const std::string counterPath = process_counter_path(name, 0);
    int32_t value = 0;

    // Ended and reaped between the two samples.
    Child reaped = spawn_shell(path, name, kStopScript);
    snapshot_names();
    platform::CounterQuery* query = platform::counter_open(counterPath.c_str());
    platform::counter_collect(query);
    reaped.end();
    platform::counter_collect(query);
    EXPECT_FALSE(platform::counter_read(query, &value));
    platform::counter_close(query);

    // Ended but not yet reaped: a zombie has ended too.
    Child zombie = spawn_shell(path, name, kStopScript);
    snapshot_names();
    query = platform::counter_open(counterPath.c_str());
    platform::counter_collect(query);
    zombie.kill_only();
    ASSERT_TRUE(wait_for_state(zombie.pid(), 'Z'));
    platform::counter_collect(query);
    EXPECT_FALSE(platform::counter_read(query, &value));
    platform::counter_close(query);

    // Ended before the counter was opened.
    zombie.end();
    EXPECT_FALSE(measure_together({counterPath}, 10)[0]);
}

// Starts a shell copy running kStopScript as process id pid, when the
// system lets this process choose the id of a child; -1 otherwise.
pid_t spawn_with_pid(pid_t pid, const std::string& path) {
    clone_args args{};
    pid_t wanted = pid;
    args.set_tid = reinterpret_cast<uint64_t>(&wanted);
    args.set_tid_size = 1;
    args.exit_signal = SIGCHLD;
    const long child = syscall(SYS_clone3, &args, sizeof args);
    if (child == 0) {
        const char* argv[] = {path.c_str(), "-c", kStopScript, nullptr};
        execv(path.c_str(), const_cast<char* const*>(argv));
        _exit(127);
    }
    return static_cast<pid_t>(child);
}

TEST(ProcessCounter, APidTakenOverByAnotherProcessGivesAFailedCounter) {
    TempDir dir;
    const std::string name = unique_name("reuse");
    const std::string path = dir.shell_copy(name);
    Child first = spawn_shell(path, name, kStopScript);
    const pid_t pid = first.pid();
    snapshot_names();
    first.end();

    // The start time counts clock ticks; the newcomer starts ticks later.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    Child newcomer(spawn_with_pid(pid, path));
    if (newcomer.pid() != pid) {
        GTEST_SKIP() << "cannot start a child under a chosen pid (errno " << errno << ")";
    }
    ASSERT_TRUE(wait_for_state(pid, 'T'));
    EXPECT_FALSE(measure_together({process_counter_path(name, 0)}, 10)[0]);
}

TEST(TotalCounter, LiesWithin0And100AndSeesOneSpinningProcessor) {
    TempDir dir;
    const std::string name = unique_name("load");
    const auto idle = measure_together({total_counter_path()})[0];
    ASSERT_TRUE(idle);
    EXPECT_GE(*idle, 0);
    EXPECT_LE(*idle, 100);

    Child spinning = spawn_shell(dir.shell_copy(name), name, kSpinScript);
    const double oneProcessorShare = 100.0 / static_cast<double>(sysconf(_SC_NPROCESSORS_ONLN));
    const auto loaded = measure_together({total_counter_path()})[0];
    ASSERT_TRUE(loaded);
    EXPECT_GE(*loaded, 0.8 * oneProcessorShare);
    EXPECT_LE(*loaded, 100);
}

TEST(CounterQuery, MalformedPathsAndMissingSamplesFailQuietly) {
    const std::string base = unique_name("none");
    const std::string valid = process_counter_path(base, 0);
    const std::string prefix = valid.substr(0, valid.find(base));
    const std::string suffix = valid.substr(valid.rfind('#') + 2);
    const std::vector<std::string> paths = {
        std::string(), valid, prefix + base + suffix, prefix + base + "#" + suffix,
        prefix + base + "#-1" + suffix, prefix + base + "#+0" + suffix,
        prefix + base + "#0 " + suffix, prefix + base + "#1x" + suffix,
        prefix + base + "#99999999999999999999" + suffix, prefix + suffix,
        "\\Process(" + base + "#0)\\% User Time", total_counter_path() + " ",
        std::string(5000, '#')};
    for (const std::string& path : paths) {
        EXPECT_FALSE(measure_together({path}, 1)[0]) << path;
    }
    platform::CounterQuery* query = platform::counter_open(nullptr);
    ASSERT_NE(query, nullptr);
    platform::counter_collect(query);
    platform::counter_collect(query);
    int32_t value = 0;
    EXPECT_FALSE(platform::counter_read(query, &value));
    platform::counter_close(query);

    // A reading needs two samples.
    query = platform::counter_open(total_counter_path().c_str());
    EXPECT_FALSE(platform::counter_read(query, &value));
    platform::counter_collect(query);
    EXPECT_FALSE(platform::counter_read(query, &value));
    platform::counter_collect(query);
    EXPECT_TRUE(platform::counter_read(query, &value));
    EXPECT_FALSE(platform::counter_read(query, nullptr));
    platform::counter_close(query);
}

TEST(CounterQuery, NamesHoldingHashesAndParenthesesResolve) {
    TempDir dir;
    const std::string name = "v#(1)x" + std::to_string(getpid());
    Child child = spawn_shell(dir.shell_copy(name), name, kStopScript);
    snapshot_names();
    const auto reading = measure_together({process_counter_path(name, 0)}, 10)[0];
    ASSERT_TRUE(reading);
    EXPECT_LE(*reading, 2);
}

TEST(ProcSources, LeaveNoDescriptorOpen) {
    TempDir dir;
    const std::string name = unique_name("fds");
    const std::string path = dir.shell_copy(name);
    Child live = spawn_shell(path, name, kStopScript);
    snapshot_names();
    const int before = open_descriptor_count();
    for (int i = 0; i < 50; ++i) {
        snapshot_names();
        Child ending = spawn_shell(path, name, kStopScript);  // instance 1 at the next snapshot
        platform::ProcessSnapshot* held = platform::snapshot_take();
        platform::CounterQuery* query = platform::counter_open(process_counter_path(name, 1).c_str());
        platform::counter_collect(query);
        ending.end();
        measure_together({process_counter_path(name, 0), process_counter_path(name, 1),
                          total_counter_path(), "\\Process(none#0)\\% Processor Time"},
                         0);
        platform::counter_collect(query);
        platform::counter_close(query);
        platform::snapshot_close(held);
    }
    EXPECT_EQ(open_descriptor_count(), before);
}

}  // namespace
}  // namespace vantrel::test
