// The process snapshot: the user-space processes in /proc, in ascending
// process id, each under the name that ps and top show, completed where the
// kernel cut it.
#include "platform/linux/process_snapshot.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/linux/proc_files.h"
#include "platform/platform.h"
#include "text/executable_name.h"

namespace vantrel::platform {

// A walk over the process list of one snapshot.
struct ProcessSnapshot {
    uint64_t generation;  // the list this walk belongs to
    std::size_t next;
};

}  // namespace vantrel::platform

namespace vantrel::procfs {

namespace {

// The kernel keeps a process name in 16 bytes with the terminator, so a
// name of exactly 15 bytes may have been cut.
constexpr std::size_t kCutNameLength = 15;

// Longest name handed out, the limit of a file name. Only a rewritten
// command line can give more; it is cut here, still far too long for the
// monitor to measure.
constexpr std::size_t kMaxNameBytes = 255;

// The short-name length of a name that the monitor cannot measure (empty, or
// too long): it never matches.
constexpr uint32_t kNoShortName = UINT32_MAX;

// How /proc/PID/exe names an executable file that has been removed.
constexpr std::string_view kDeletedSuffix = " (deleted)";

// Enough for any /proc/PID/stat up to the start time (the name takes at most
// 64 bytes, each number at most 20).
constexpr std::size_t kStatBufferSize = 1024;

struct Entry {
    int pid;
    uint64_t startTime;
    uint32_t nameOffset;   // into ProcessList::names
    uint32_t nameLength;
    uint32_t shortLength;  // the short name is a prefix of the name
};

// Rebuilt in place at every snapshot, so that sweeps reuse its storage.
struct ProcessList {
    std::vector<Entry> entries;
    std::string names;        // every name followed by a terminator
    uint64_t generation = 0;  // counts snapshots; older walks end when it moves on
};

ProcessList latest;

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

std::string_view name_of(const Entry& entry) {
    return {latest.names.data() + entry.nameOffset, entry.nameLength};
}

std::string_view file_name_of(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The file name of the process's executable; empty when it cannot be read
// (another user's process, a process that ended).
std::string_view executable_file_name(int procFd, int pid, char* buf, std::size_t cap) {
    char path[32];
    if (format_pid_path(path, sizeof path, "", pid, "/exe") == 0) return {};
    const ssize_t n = readlinkat(procFd, path, buf, cap);
    if (n <= 0 || static_cast<std::size_t>(n) >= cap) return {};
    std::string_view target(buf, static_cast<std::size_t>(n));
    if (target.ends_with(kDeletedSuffix)) target.remove_suffix(kDeletedSuffix.size());
    return file_name_of(target);
}

// The file name in the process's first command-line argument; empty when it
// cannot be read whole.
std::string_view argument_file_name(int procFd, int pid, char* buf, std::size_t cap) {
    char path[32];
    if (format_pid_path(path, sizeof path, "", pid, "/cmdline") == 0) return {};
    const ssize_t n = read_file_at(procFd, path, buf, cap);
    if (n <= 0) return {};
    const std::string_view args(buf, static_cast<std::size_t>(n));
    const std::size_t end = args.find('\0');
    if (end == std::string_view::npos && args.size() == cap) return {};  // cut by the buffer
    return file_name_of(args.substr(0, end));
}

// The full name of a process whose name the kernel may have cut: the file
// name of its executable, or else of its first argument, when that is longer
// and begins with the cut name. The cut name itself otherwise.
std::string_view full_name(int procFd, int pid, std::string_view cut, char* buf, std::size_t cap) {
    const auto completes = [cut](std::string_view candidate) {
        return candidate.size() > cut.size() && candidate.starts_with(cut);
    };
    const std::string_view executable = executable_file_name(procFd, pid, buf, cap);
    if (completes(executable)) return executable;
    const std::string_view argument = argument_file_name(procFd, pid, buf, cap);
    return completes(argument) ? argument : cut;
}

// Adds the process to the list unless it is a kernel thread or its stat
// cannot be read (it may have ended since the directory was listed).
void add_process(int procFd, int pid) {
    char path[32];
    if (format_pid_path(path, sizeof path, "", pid, "/stat") == 0) return;
    char statText[kStatBufferSize];
    const ssize_t n = read_file_at(procFd, path, statText, sizeof statText);
    ProcessStat stat{};
    if (n <= 0 || !parse_process_stat({statText, static_cast<std::size_t>(n)}, stat)) return;
    if ((stat.flags & kKernelThreadFlag) != 0) return;

    char fullName[PATH_MAX];
    std::string_view name = stat.name;
    if (name.size() == kCutNameLength) name = full_name(procFd, pid, name, fullName, sizeof fullName);
    name = name.substr(0, kMaxNameBytes);

    Entry entry{pid, stat.startTime, static_cast<uint32_t>(latest.names.size()),
                static_cast<uint32_t>(name.size()), kNoShortName};
    latest.names.append(name);
    latest.names.push_back('\0');
    if (!name.empty() && name.size() <= kMaxExecutableName)
        entry.shortLength = static_cast<uint32_t>(short_name_length(name));
    latest.entries.push_back(entry);
}

// Lists the processes of /proc into the latest list, in ascending process id.
// False, with the list unchanged, when /proc cannot be read.
bool rebuild_list() {
    const int procFd = open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (procFd < 0) return false;
    const std::unique_ptr<DIR, DirCloser> dir(fdopendir(procFd));
    if (dir == nullptr) {
        close(procFd);
        return false;
    }
    latest.entries.clear();
    latest.names.clear();
    ++latest.generation;
    while (const dirent* item = readdir(dir.get())) {
        const char* text = item->d_name;
        const char* textEnd = text + std::strlen(text);
        int pid = 0;
        const auto [end, ec] = std::from_chars(text, textEnd, pid);
        if (ec != std::errc() || end != textEnd || pid <= 0) continue;  // not a process
        add_process(procFd, pid);
    }
    // /proc lists processes in ascending order today; the order is what the
    // instance numbers rest on, so it is made certain.
    std::sort(latest.entries.begin(), latest.entries.end(),
              [](const Entry& a, const Entry& b) { return a.pid < b.pid; });
    return true;
}

}  // namespace

std::size_t listed_process_count() { return latest.entries.size(); }

ListedProcess listed_process(std::size_t index) {
    const Entry& entry = latest.entries[index];
    return {entry.pid, entry.startTime, name_of(entry)};
}

bool find_listed_process(std::string_view shortName, uint32_t instance, ListedProcess& out) {
    for (const Entry& entry : latest.entries) {
        if (entry.shortLength != shortName.size() || !name_of(entry).starts_with(shortName)) continue;
        if (instance-- == 0) {
            out = {entry.pid, entry.startTime, name_of(entry)};
            return true;
        }
    }
    return false;
}

}  // namespace vantrel::procfs

namespace vantrel::platform {

ProcessSnapshot* snapshot_take() {
    using procfs::latest;
    try {
        if (!procfs::rebuild_list()) return nullptr;
    } catch (const std::bad_alloc&) {
        // Out of memory part way: no snapshot, and no half list to resolve against.
        latest.entries.clear();
        latest.names.clear();
        return nullptr;
    }
    return new (std::nothrow) ProcessSnapshot{latest.generation, 0};
}

const char* snapshot_next(ProcessSnapshot* snapshot) {
    using procfs::latest;
    if (snapshot == nullptr || snapshot->generation != latest.generation ||
        snapshot->next >= latest.entries.size()) {
        return nullptr;
    }
    return latest.names.data() + latest.entries[snapshot->next++].nameOffset;
}

void snapshot_close(ProcessSnapshot* snapshot) { delete snapshot; }

}  // namespace vantrel::platform
