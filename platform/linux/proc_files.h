// Small helpers for the /proc services: reading a /proc file into a caller's
// buffer with plain system calls (no streams, no heap), and parsers for the
// two lines the services need, /proc/PID/stat and the first line of
// /proc/stat.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantrel::procfs {

// The kernel-thread flag (PF_KTHREAD) in the flags field of /proc/PID/stat.
inline constexpr uint64_t kKernelThreadFlag = 0x00200000;

// Reads the open file from its beginning into buf, in one read of at most cap
// bytes: a /proc file hands out its text in one read up to the size asked
// for, and the parsers below reject a text that stops too early. Returns the
// number of bytes read, or -1 when the read fails (for a /proc/PID file, also
// when the process has ended).
ssize_t read_from_start(int fd, char* buf, std::size_t cap);

// Opens path (relative to the directory dirFd, or absolute), reads it as
// read_from_start does and closes it. -1 when it cannot be opened or read.
ssize_t read_file_at(int dirFd, const char* path, char* buf, std::size_t cap);

// Writes prefix, the decimal pid and leaf into out and terminates it, e.g.
// "/proc/" 42 "/stat". Returns the length, or 0 when it does not fit.
std::size_t format_pid_path(char* out, std::size_t cap, std::string_view prefix, int pid,
                            std::string_view leaf);

// The fields of /proc/PID/stat that the services use.
struct ProcessStat {
    std::string_view name;  // the process name between the parentheses, as in /proc/PID/comm
    char state;             // 'R', 'S', ... 'Z' for a process that has ended
    uint64_t flags;
    uint64_t cpuTicks;   // user plus system time, in clock ticks
    uint64_t startTime;  // clock ticks after boot
};

// Parses a /proc/PID/stat text. The name may hold any byte, parentheses and
// spaces included: it ends at the last ')'. False when the text is cut
// before the start time or a field is not a number.
bool parse_process_stat(std::string_view text, ProcessStat& out);

// The machine's processor time from the first line of /proc/stat, in clock
// ticks: total = user + nice + system + idle + iowait + irq + softirq +
// steal (guest time is already inside user), busy = total - idle - iowait.
struct CpuTimes {
    uint64_t busy;
    uint64_t total;
};

// Parses the "cpu" line at the start of a /proc/stat text. Fields missing at
// the end (older kernels have fewer) count as 0; fewer than four, a field
// that is not a number or a line without its end give false.
bool parse_cpu_times(std::string_view text, CpuTimes& out);

}  // namespace vantrel::procfs
