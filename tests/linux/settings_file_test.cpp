// The settings file, its folder and the usage log where only POSIX can make the case: saves refused to root by
// the permissions, saves killed at a chosen step or short of room, the per-user folder of an installed copy
// (how such a copy is recognised and how the folder is made: tests/e2e/install.sh), the folder's lock where
// the system refuses it, log names that are no regular file. Steps and refusals are met by a child process.
#include <grp.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <stddef.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "log/usage_log.h"
#include "monitor/process_table.h"
#include "platform/linux/companion_folder.h"
#include "platform/linux/companion_lock.h"
#include "platform/platform.h"
#include "settings/settings_table.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

using SettingsFileTest = CoreTest;

// What a child process meets: nobody's rights (when the tests run as root), a size beyond which its writes fail
// as on a full disk, a system call that kills it before it is carried out, one that fails with an error instead,
// and a file for its standard error.
struct Child {
    bool asNobody = false;
    rlim_t fileSize = RLIM_INFINITY;
    long killAt = -1;
    long failAt = -1;
    int failWith = 0;
    std::string errors = "/dev/null";
};

// Runs body in a child set up so; it exits with 0 when body returns true. The child's wait status.
int run_child(const Child& c, const std::function<bool()>& body) {
    const pid_t pid = fork();
    if (pid != 0) {
        int status = -1;
        return waitpid(pid, &status, 0) == pid ? status : -1;
    }
    if (c.asNobody && geteuid() == 0 && (setgroups(0, nullptr) || setgid(65534) || setuid(65534))) _exit(2);
    const rlimit size{c.fileSize, c.fileSize};
    std::vector<sock_filter> filter{BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr))};
    for (const auto& [call, action] : {std::pair(c.killAt, uint32_t{SECCOMP_RET_KILL_PROCESS}),
                                       std::pair(c.failAt, SECCOMP_RET_ERRNO | static_cast<uint32_t>(c.failWith))}) {
        filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<uint32_t>(call), 0, 1));
        filter.push_back(BPF_STMT(BPF_RET | BPF_K, action));
    }
    filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    const sock_fprog program{static_cast<unsigned short>(filter.size()), filter.data()};
    if (!freopen(c.errors.c_str(), "w", stderr) || signal(SIGXFSZ, SIG_IGN) == SIG_ERR ||
        setrlimit(RLIMIT_FSIZE, &size) || prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) ||
        prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program))
        _exit(3);
    const bool done = body();
    std::fflush(stderr);
    _exit(done ? 0 : 1);
}

const std::string B = "[Base]\r\n";

// Where the folder refuses a new file (as nobody, for root) the file is written in place; a save killed between
// its steps leaves the old or the new value, followed at most by blanks that the next save drops. A save short
// of room leaves the old file and nothing beside it; a read-only file is not written, also by root.
TEST_F(SettingsFileTest, KilledAndFailedSavesLeaveTheOldFileOrTheNew) {
    const std::string old = B + "j=1\r\nk=" + std::string(20, 'o');  // k's line unterminated: blanks end it
    const std::string longValue(40, 'n'), shorter = B + "j=1\r\nk=s", longer = B + "j=1\r\nk=" + longValue;
    const auto padded = [](std::string text, std::size_t size) { return text.append(size - text.size(), ' '); };
    const rlim_t room = old.size() + 5, any = RLIM_INFINITY;
    const struct {
        bool inPlace;
        mode_t mode;
        std::string value;
        long killAt;
        rlim_t fileSize;
        std::string after;
    } cases[] = {
        {true, 0666, "s", SYS_fsync, any, padded(shorter, old.size())},
        {true, 0666, "s", SYS_ftruncate, any, padded(shorter, old.size())},
        {true, 0666, longValue, SYS_fsync, any, padded(old, longer.size())},
        {true, 0666, longValue, -1, room, old},
        {false, 0666, "s", SYS_pwrite64, any, old},
        {false, 0666, "s", SYS_fsync, any, old},
        {false, 0666, longValue, -1, room, old},
        {false, 0444, "s", -1, any, old},
    };
    const auto save = [this](const std::string& value, bool inPlace, long killAt, rlim_t fileSize) {
        ::chmod(path(".").c_str(), inPlace ? 0555 : 0755);
        const int status = run_child({.asNobody = inPlace, .fileSize = fileSize, .killAt = killAt}, [&] {
            return platform::profile_write_string("Base", "k", value.c_str(), ini().c_str());
        });
        ::chmod(path(".").c_str(), 0755);
        return status;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.inPlace ? "in place, " : "replaced, ") + c.value + ", killed at " + std::to_string(c.killAt));
        for (const fs::directory_entry& entry : fs::directory_iterator(path("."))) fs::remove(entry);
        write_file(ini(), old);
        ::chmod(ini().c_str(), c.mode);
        const int status = save(c.value, c.inPlace, c.killAt, c.fileSize);
        EXPECT_TRUE(c.killAt < 0 ? WIFEXITED(status) && WEXITSTATUS(status) == 1
                                 : WIFSIGNALED(status) && WTERMSIG(status) == SIGSYS) << status;
        EXPECT_EQ(read_file(ini()), c.after);
        char value[64];
        platform::profile_read_string("Base", "k", "", value, sizeof value, ini().c_str());
        EXPECT_EQ(value, c.after.starts_with(shorter) ? "s" : std::string(20, 'o'));
        EXPECT_TRUE(c.killAt >= 0 || std::distance(fs::directory_iterator(path(".")), {}) == 1);
        if (!c.inPlace) continue;
        EXPECT_EQ(save("t", true, -1, any), 0);
        EXPECT_EQ(read_file(ini()), B + "j=1\r\nk=t");
    }
}

// XDG_CONFIG_HOME counts only when absolute; HOME likewise, else the account's home.
TEST(CompanionFolder, FollowsTheConfigurationFolderOfTheUser) {
    const struct { const char *configHome, *home, *accountHome, *folder; } cases[] = {
        {"/x/conf", "/home/u", "/home/a", "/x/conf/vantrel"},
        {"/x/conf//", "/home/u", "/home/a", "/x/conf/vantrel"},
        {nullptr, "/home/u", "/home/a", "/home/u/.config/vantrel"},
        {"", "/home/u/", "/home/a", "/home/u/.config/vantrel"},
        {"conf", "/home/u", "/home/a", "/home/u/.config/vantrel"},
        {nullptr, nullptr, "/root", "/root/.config/vantrel"},
        {nullptr, "home/u", "/home/a", "/home/a/.config/vantrel"},
        {nullptr, "/", "/home/a", "/.config/vantrel"},
        {nullptr, nullptr, "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(companion::user_folder(c.configHome, c.home, c.accountHome), c.folder)
            << (c.configHome ? c.configHome : "(unset)") << " " << (c.home ? c.home : "(unset)");
}

// One holder at a time, with nothing made in the folder; a read-only folder is locked all the same. A folder that
// cannot be locked (missing, or without locks on its file system) is said once on standard error.
TEST_F(SettingsFileTest, TheFolderIsLockedByOneCopyAtATime) {
    fs::create_directory(path("app"));
    ::chmod(path("app").c_str(), 0555);
    EXPECT_EQ(companion::lock_folder(path("app"), 0), companion::LockResult::Taken);
    EXPECT_EQ(companion::lock_folder(path("app"), 100), companion::LockResult::Held);
    EXPECT_TRUE(fs::is_empty(path("app")));
    ::chmod(path("app").c_str(), 0755);
    for (const auto& [folder, reason] : {std::pair(path("missing"), "No such file or directory"),
                                         std::pair(path("app"), "No locks available")}) {
        const int status = run_child({.failAt = SYS_flock, .failWith = ENOLCK, .errors = path("stderr")}, [&] {
            return companion::lock_folder(folder, 100) == companion::LockResult::Unavailable;
        });
        EXPECT_EQ(status, 0);
        EXPECT_EQ(read_file(path("stderr")), "vantrel: the settings folder " + folder + " cannot be locked (" + reason +
                                                 "); a second copy using it would go unnoticed\n");
    }
}

// A log named by a FIFO that nobody reads or a device takes no line and never makes the cycle wait:
// the line goes to the default file.
TEST_F(SettingsFileTest, LogNamesThatAreNoRegularFileGoToTheDefaultFile) {
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0666), 0);
    ::alarm(30);  // an open that waits ends the test
    for (const std::string& name : {path("fifo"), std::string("/dev/null")}) {
        settings.logfilename.set(name);
        append_usage_line(processTable);
    }
    ::alarm(0);
    const std::string line = "2008/03/07  9:05:02\t0\r\n";
    EXPECT_EQ(read_file(path("cpuusagelog.txt")), line + line);
}

}  // namespace
}  // namespace vantrel::test
