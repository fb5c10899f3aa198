#include "platform/linux/proc_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>

namespace vantrel::procfs {

namespace {

// A whole token of decimal digits; no sign, no spaces.
bool parse_number(std::string_view token, uint64_t& out) {
    if (token.empty()) return false;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), out);
    return ec == std::errc() && end == token.data() + token.size();
}

// Field numbers of /proc/PID/stat (1-based, as proc(5) counts them).
constexpr int kStateField = 3;
constexpr int kFlagsField = 9;
constexpr int kUserTimeField = 14;
constexpr int kSystemTimeField = 15;
constexpr int kStartTimeField = 22;

}  // namespace

ssize_t read_from_start(int fd, char* buf, std::size_t cap) {
    ssize_t n;
    do {
        n = pread(fd, buf, cap, 0);
    } while (n < 0 && errno == EINTR);
    return n;
}

ssize_t read_file_at(int dirFd, const char* path, char* buf, std::size_t cap) {
    const int fd = openat(dirFd, path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    const ssize_t n = read_from_start(fd, buf, cap);
    close(fd);
    return n;
}

std::size_t format_pid_path(char* out, std::size_t cap, std::string_view prefix, int pid,
                            std::string_view leaf) {
    char digits[16];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, pid);
    if (ec != std::errc()) return 0;
    const std::size_t digitCount = static_cast<std::size_t>(end - digits);
    const std::size_t length = prefix.size() + digitCount + leaf.size();
    if (length >= cap) return 0;
    char* at = out;
    at = std::copy(prefix.begin(), prefix.end(), at);
    at = std::copy(digits, end, at);
    at = std::copy(leaf.begin(), leaf.end(), at);
    *at = '\0';
    return length;
}

bool parse_process_stat(std::string_view text, ProcessStat& out) {
    const std::size_t open = text.find('(');
    const std::size_t close = text.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
        return false;
    }
    out.name = text.substr(open + 1, close - open - 1);

    // After the name, every field begins with one space. Each field up to the
    // start time must also end with a space (more fields always follow), so
    // a text cut inside a number is rejected instead of read short.
    uint64_t userTime = 0;
    uint64_t systemTime = 0;
    std::size_t at = close + 1;
    for (int field = kStateField; field <= kStartTimeField; ++field) {
        if (at >= text.size() || text[at] != ' ') return false;
        const std::size_t begin = at + 1;
        const std::size_t end = text.find(' ', begin);
        if (end == std::string_view::npos) return false;
        const std::string_view token = text.substr(begin, end - begin);
        bool ok = true;
        switch (field) {
            case kStateField:
                ok = token.size() == 1;
                if (ok) out.state = token[0];
                break;
            case kFlagsField: ok = parse_number(token, out.flags); break;
            case kUserTimeField: ok = parse_number(token, userTime); break;
            case kSystemTimeField: ok = parse_number(token, systemTime); break;
            case kStartTimeField: ok = parse_number(token, out.startTime); break;
            default: break;
        }
        if (!ok) return false;
        at = end;
    }
    out.cpuTicks = userTime + systemTime;
    return true;
}

bool parse_cpu_times(std::string_view text, CpuTimes& out) {
    constexpr std::string_view kLabel = "cpu ";
    const std::size_t lineEnd = text.find('\n');
    if (!text.starts_with(kLabel) || lineEnd == std::string_view::npos) return false;
    std::string_view line = text.substr(kLabel.size(), lineEnd - kLabel.size());

    // user nice system idle iowait irq softirq steal; guest and guest_nice
    // that may follow are parts of user and nice and are not read.
    uint64_t values[8] = {};
    int count = 0;
    while (count < 8) {
        const std::size_t begin = line.find_first_not_of(' ');
        if (begin == std::string_view::npos) break;
        line.remove_prefix(begin);
        const std::size_t end = std::min(line.find(' '), line.size());
        if (!parse_number(line.substr(0, end), values[count])) return false;
        line.remove_prefix(end);
        ++count;
    }
    if (count < 4) return false;
    const uint64_t notBusy = values[3] + values[4];
    out.busy = values[0] + values[1] + values[2] + values[5] + values[6] + values[7];
    out.total = out.busy + notBusy;
    return true;
}

}  // namespace vantrel::procfs
