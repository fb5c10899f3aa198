// Processor time of monitor cycles over the real /proc, without the sampling
// wait, and the peak memory of the process.
//
// Sleeping children are started until at least 300 processes run. Then a
// sweep-start cycle (snapshot and first batch) and an ordinary batch cycle
// are timed in turn, back to back. Then cycles are run as the program runs
// them: each on a thread of its own, started and ended as the worker is, 5
// seconds apart (the default interval), so that each finds the caches as a
// cycle of the program finds them; their processor time counts the whole
// process, the thread's start and end included. The medians are printed one
// figure a line as "name: value", with the spaced cycles' share of one core
// at that interval.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

#include "monitor/monitor_cycle.h"
#include "monitor/process_table.h"
#include "platform/linux/process_snapshot.h"
#include "platform/platform.h"
#include "tests/fakes/fake_ui.h"

namespace {

constexpr std::size_t kMinProcesses = 300;
constexpr int kCycles = 60;
constexpr int kSpacedCycles = 12;
constexpr auto kInterval = std::chrono::seconds(5);

std::size_t live_processes() {
    vantrel::platform::ProcessSnapshot* snapshot = vantrel::platform::snapshot_take();
    if (snapshot == nullptr) return 0;
    vantrel::platform::snapshot_close(snapshot);
    return vantrel::procfs::listed_process_count();
}

// A child that sleeps until it is killed, or until the benchmark ends.
pid_t start_sleeper(pid_t parent) {
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(0);
        for (;;) pause();
    }
    return pid;
}

int64_t cpu_ns(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Runs one cycle from the given batch and returns its processor time in
// microseconds. The recorded tray requests are dropped outside the timing.
int64_t timed_cycle(uint32_t batchIndex) {
    vantrel::cycleState.batchIndex = batchIndex;
    const int64_t start = cpu_ns(CLOCK_THREAD_CPUTIME_ID);
    vantrel::run_cycle();
    const int64_t spent = cpu_ns(CLOCK_THREAD_CPUTIME_ID) - start;
    vantrel::fake::ui().iconRequests.clear();
    return spent / 1000;
}

// Runs the next cycle on a thread of its own, as the program's worker, and
// returns the processor time of the whole process meanwhile, in
// microseconds.
int64_t spaced_cycle() {
    const int64_t start = cpu_ns(CLOCK_PROCESS_CPUTIME_ID);
    std::thread(vantrel::run_cycle).join();
    const int64_t spent = cpu_ns(CLOCK_PROCESS_CPUTIME_ID) - start;
    vantrel::fake::ui().iconRequests.clear();
    return spent / 1000;
}

int64_t median(std::vector<int64_t> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    const pid_t self = getpid();
    std::vector<pid_t> children;
    std::size_t processes = live_processes();
    bool canStart = true;
    // Other processes may end meanwhile, so the count is taken again.
    while (processes < kMinProcesses && canStart) {
        for (std::size_t count = processes; count < kMinProcesses && canStart; ++count) {
            const pid_t child = start_sleeper(self);
            canStart = child > 0;
            if (canStart) children.push_back(child);
        }
        processes = live_processes();
    }

    std::vector<int64_t> sweep;
    std::vector<int64_t> batch;
    for (int i = 0; i < kCycles; ++i) {
        sweep.push_back(timed_cycle(0));
        const uint32_t batches = std::max<uint32_t>(1, vantrel::cycleState.sweepSize / vantrel::kBatchSize);
        batch.push_back(timed_cycle(1 + static_cast<uint32_t>(i) % batches));
    }

    std::vector<int64_t> spaced;
    vantrel::cycleState.batchIndex = 0;
    for (int i = 0; i < kSpacedCycles; ++i) {
        std::this_thread::sleep_for(kInterval);
        spaced.push_back(spaced_cycle());
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    for (const pid_t child : children) kill(child, SIGKILL);
    for (const pid_t child : children) waitpid(child, nullptr, 0);

    std::printf("processes: %zu\n", processes);
    std::printf("sweep_cycle_cpu_us: %lld\n", static_cast<long long>(median(sweep)));
    std::printf("batch_cycle_cpu_us: %lld\n", static_cast<long long>(median(batch)));
    const int64_t spacedMedian = median(spaced);
    std::printf("spaced_cycle_cpu_us: %lld\n", static_cast<long long>(spacedMedian));
    std::printf("spaced_cycles_core_percent: %.4f\n",
                static_cast<double>(spacedMedian) /
                    static_cast<double>(std::chrono::microseconds(kInterval).count()) * 100.0);
    std::printf("peak_rss_kib: %ld\n", usage.ru_maxrss);
    return processes < kMinProcesses ? 1 : 0;
}
