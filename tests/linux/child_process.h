// Child processes and temporary executables for the tests of the /proc
// services: copies of the shell under chosen names that spin or stop.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::test {

// Shell scripts for the children: a busy loop, and a stop of the shell
// itself so that it uses no processor time at all.
inline constexpr const char* kSpinScript = "while :; do :; done";
inline constexpr const char* kStopScript = "kill -STOP $$";

// A temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }

    // A copy of the system shell named name in the folder; its full path.
    std::string shell_copy(const std::string& name) const;

private:
    std::string path_;
};

// A child process, killed and reaped at the latest when the object goes.
class Child {
public:
    Child() = default;
    explicit Child(pid_t pid) : pid_(pid) {}
    Child(Child&& other) noexcept : pid_(other.pid_) { other.pid_ = -1; }
    Child& operator=(Child&&) = delete;
    ~Child() { end(); }

    pid_t pid() const { return pid_; }

    // Kills the child; it stays a zombie until it is reaped by end().
    void kill_only() const;

    // Kills and reaps the child.
    void end();

private:
    pid_t pid_ = -1;
};

// Runs the executable at path with the given first argument and "-c script".
// A child running kStopScript is waited for until it has stopped; one running
// kSpinScript gets the highest priority this process may give.
Child spawn_shell(const std::string& path, const std::string& argv0, const char* script);

// The state letter of /proc/PID/stat, or 0 when it cannot be read.
char process_state(pid_t pid);

// Waits up to five seconds for the process to reach the state; true if it did.
bool wait_for_state(pid_t pid, char state);

// The number of open descriptors of this process.
int open_descriptor_count();

// A process counter path as the monitor builds it, and the total's path.
std::string process_counter_path(const std::string& shortName, int32_t instance);
std::string total_counter_path();

// Opens the counters, takes a sample of each, waits gapMs, takes another and
// reads them, as the batch measurement does. nullopt for a failed read.
std::vector<std::optional<int32_t>> measure_together(const std::vector<std::string>& paths,
                                                     uint32_t gapMs = 500);

// Takes a snapshot and returns the names it hands out, in order.
std::vector<std::string> snapshot_names();

}  // namespace vantrel::test
