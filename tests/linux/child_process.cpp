#include "tests/linux/child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "monitor/batch_measurement.h"
#include "platform/linux/proc_files.h"
#include "platform/platform.h"
#include "text/code_page.h"

extern char** environ;

namespace vantrel::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "vantrel-proc-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
}

std::string TempDir::shell_copy(const std::string& name) const {
    const std::string target = path_ + "/" + name;
    fs::copy_file("/bin/sh", target, fs::copy_options::overwrite_existing);
    fs::permissions(target, fs::perms::owner_all);
    return target;
}

void Child::kill_only() const {
    if (pid_ > 0) kill(pid_, SIGKILL);
}

void Child::end() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

Child spawn_shell(const std::string& path, const std::string& argv0, const char* script) {
    std::string arg0 = argv0;
    std::string flag = "-c";
    std::string text = script;
    char* argv[] = {arg0.data(), flag.data(), text.data(), nullptr};
    pid_t pid = -1;
    const int error = posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ);
    if (error != 0) {
        ADD_FAILURE() << "cannot start " << path << ": " << std::strerror(error);
        return Child();
    }
    Child child(pid);
    // A spinning child should have a processor to itself even on a loaded
    // machine; raising its priority needs privileges and may be refused.
    if (std::string_view(script) == kSpinScript) setpriority(PRIO_PROCESS, static_cast<id_t>(pid), -20);
    if (std::string_view(script) == kStopScript && !wait_for_state(pid, 'T')) {
        ADD_FAILURE() << path << " did not stop";
    }
    return child;
}

char process_state(pid_t pid) {
    char path[32];
    char text[1024];
    procfs::ProcessStat stat{};
    if (procfs::format_pid_path(path, sizeof path, "/proc/", pid, "/stat") == 0) return 0;
    const ssize_t n = procfs::read_file_at(AT_FDCWD, path, text, sizeof text);
    if (n <= 0 || !procfs::parse_process_stat({text, static_cast<std::size_t>(n)}, stat)) return 0;
    return stat.state;
}

bool wait_for_state(pid_t pid, char state) {
    for (int i = 0; i < 500; ++i) {
        if (process_state(pid) == state) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

int open_descriptor_count() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

std::string process_counter_path(const std::string& shortName, int32_t instance) {
    ProcessSlot slot{};
    copy_bytes(slot.shortName, sizeof slot.shortName, shortName);
    slot.instance = instance;
    char path[1024];
    format_process_counter_path(slot, path, sizeof path);
    return path;
}

std::string total_counter_path() {
    char path[1024];
    format_total_counter_path(path, sizeof path);
    return path;
}

std::vector<std::optional<int32_t>> measure_together(const std::vector<std::string>& paths,
                                                     uint32_t gapMs) {
    std::vector<platform::CounterQuery*> queries;
    for (const std::string& path : paths) {
        queries.push_back(platform::counter_open(path.c_str()));
        platform::counter_collect(queries.back());
    }
    platform::sleep_ms(gapMs);
    std::vector<std::optional<int32_t>> readings;
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
    if (snapshot == nullptr) return names;
    while (const char* name = platform::snapshot_next(snapshot)) names.emplace_back(name);
    platform::snapshot_close(snapshot);
    return names;
}

}  // namespace vantrel::test
