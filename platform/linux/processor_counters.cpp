// Processor-time counters from /proc: a process's share of one processor
// from /proc/PID/stat, and the machine's busy share from /proc/stat, each
// over the measured gap between two samples.
#include "platform/linux/processor_counters.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <new>
#include <string_view>

#include "platform/linux/process_snapshot.h"
#include "platform/platform.h"

namespace vantrel::procfs {

namespace {

// Enough for /proc/PID/stat up to the start time, and for the first line of
// /proc/stat.
constexpr std::size_t kSampleBufferSize = 1024;

int64_t monotonic_ns() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

long ticks_per_second() {
    static const long ticks = sysconf(_SC_CLK_TCK);
    return ticks;
}

}  // namespace

int32_t process_usage_percent(uint64_t cpuTicks, int64_t gapNs, long ticksPerSecond) {
    if (gapNs <= 0 || ticksPerSecond <= 0) return 0;
    const double percent = static_cast<double>(cpuTicks) * 100.0 * 1e9 /
                           (static_cast<double>(ticksPerSecond) * static_cast<double>(gapNs));
    return percent >= 100.0 ? 100 : static_cast<int32_t>(std::lround(percent));
}

int32_t total_busy_percent(const CpuTimes& before, const CpuTimes& after) {
    if (after.total <= before.total) return 0;
    const uint64_t total = after.total - before.total;
    // iowait is known to step backwards on some kernels, so busy time is
    // kept within 0 and the total.
    const uint64_t busy = after.busy > before.busy ? std::min(after.busy - before.busy, total) : 0;
    return static_cast<int32_t>(std::lround(100.0 * static_cast<double>(busy) /
                                            static_cast<double>(total)));
}

}  // namespace vantrel::procfs

namespace vantrel::platform {

namespace {

enum class CounterKind {
    Unattached,  // the path named no counter, or no process of the latest snapshot
    Process,
    Total,
};

struct Sample {
    bool taken = false;
    uint64_t cpuTicks = 0;     // a process: user plus system time
    procfs::CpuTimes cpu{};    // the total: busy and all time
    int64_t timeNs = 0;        // when the sample was read
};

}  // namespace

struct CounterQuery {
    CounterKind kind = CounterKind::Unattached;
    int pid = 0;
    uint64_t startTime = 0;
    int fd = -1;  // the stat file, open from the first sample to the close
    Sample previous;
    Sample latest;
};

namespace {

constexpr std::string_view kProcessPrefix = "\\Process(";
constexpr std::string_view kProcessSuffix = ")\\% Processor Time";
constexpr std::string_view kTotalPath = "\\Processor(_Total)\\% Processor Time";

// Given out when no query can be allocated: never written, its read fails.
CounterQuery unattachedQuery;

// "NAME#K": the K-th process of that short name. NAME may itself hold '#',
// '(' or ')', so the instance follows the last '#'.
void attach_process(CounterQuery& query, std::string_view object) {
    const std::size_t hash = object.rfind('#');
    if (hash == std::string_view::npos) return;
    const std::string_view digits = object.substr(hash + 1);
    uint32_t instance = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), instance);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) return;
    procfs::ListedProcess process{};
    if (!procfs::find_listed_process(object.substr(0, hash), instance, process)) return;
    query.kind = CounterKind::Process;
    query.pid = process.pid;
    query.startTime = process.startTime;
}

void attach(CounterQuery& query, const char* path) {
    if (path == nullptr) return;
    const std::string_view text(path);
    if (text == kTotalPath) {
        query.kind = CounterKind::Total;
    } else if (text.size() > kProcessPrefix.size() + kProcessSuffix.size() &&
               text.starts_with(kProcessPrefix) && text.ends_with(kProcessSuffix)) {
        attach_process(query, text.substr(kProcessPrefix.size(), text.size() - kProcessPrefix.size() -
                                                                     kProcessSuffix.size()));
    }
}

// Reads the query's file from the start into buf, opening it at the first
// sample. The open descriptor keeps naming the same process: once that
// process has been reaped, reads fail even if its pid is used again.
ssize_t read_sample_file(CounterQuery& query, char* buf, std::size_t cap) {
    if (query.fd < 0) {
        char path[32];
        if (query.kind == CounterKind::Total) {
            query.fd = open("/proc/stat", O_RDONLY | O_CLOEXEC);
        } else if (procfs::format_pid_path(path, sizeof path, "/proc/", query.pid, "/stat") != 0) {
            query.fd = open(path, O_RDONLY | O_CLOEXEC);
        }
        if (query.fd < 0) return -1;
    }
    return procfs::read_from_start(query.fd, buf, cap);
}

// One sample; not taken when the file cannot be read, or when the process
// has ended or is another one than the snapshot listed (its pid was reused).
Sample take_sample(CounterQuery& query) {
    Sample sample;
    char text[procfs::kSampleBufferSize];
    const ssize_t n = read_sample_file(query, text, sizeof text);
    sample.timeNs = procfs::monotonic_ns();
    if (n <= 0) return sample;
    const std::string_view content(text, static_cast<std::size_t>(n));
    if (query.kind == CounterKind::Total) {
        sample.taken = procfs::parse_cpu_times(content, sample.cpu);
    } else {
        procfs::ProcessStat stat{};
        sample.taken = procfs::parse_process_stat(content, stat) && stat.startTime == query.startTime &&
                       stat.state != 'Z' && stat.state != 'X';
        sample.cpuTicks = stat.cpuTicks;
    }
    return sample;
}

}  // namespace

CounterQuery* counter_open(const char* path) {
    CounterQuery* query = new (std::nothrow) CounterQuery;
    if (query == nullptr) return &unattachedQuery;
    attach(*query, path);
    return query;
}

void counter_collect(CounterQuery* query) {
    if (query == nullptr || query->kind == CounterKind::Unattached) return;
    query->previous = query->latest;
    query->latest = take_sample(*query);
}

bool counter_read(CounterQuery* query, int32_t* value) {
    if (query == nullptr || value == nullptr || !query->previous.taken || !query->latest.taken) {
        return false;
    }
    const Sample& before = query->previous;
    const Sample& after = query->latest;
    if (query->kind == CounterKind::Total) {
        *value = procfs::total_busy_percent(before.cpu, after.cpu);
    } else {
        const uint64_t ticks = after.cpuTicks > before.cpuTicks ? after.cpuTicks - before.cpuTicks : 0;
        *value = procfs::process_usage_percent(ticks, after.timeNs - before.timeNs,
                                               procfs::ticks_per_second());
    }
    return true;
}

void counter_close(CounterQuery* query) {
    if (query == nullptr || query == &unattachedQuery) return;
    if (query->fd >= 0) close(query->fd);
    delete query;
}

}  // namespace vantrel::platform
