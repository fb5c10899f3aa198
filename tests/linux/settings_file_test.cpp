// The settings file, its folder and the log where only POSIX can make the case, mostly through a child process.
#include <grp.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <utility>

#include "log/usage_log.h"
#include "platform/linux/companion_folder.h"
#include "platform/linux/companion_lock.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

using SettingsFileTest = CoreTest;

// A child that meets the seccomp action (death before the call, or an error instead) at its first system call
// `call`, writes failing beyond fileSize bytes as on a full disk, and nobody's rights when asNobody (for root).
struct Child {
    long call = -1;
    uint32_t action = SECCOMP_RET_KILL_PROCESS;
    rlim_t fileSize = RLIM_INFINITY;
    bool asNobody = false;
    std::string out = "/dev/null";  // receives its standard error
};

// Runs body in such a child, which exits with 0 when body returns true; the child's wait status.
template <class Body>
int run_child(const Child& c, Body body) {
    int status = -1;
    if (const pid_t pid = fork(); pid != 0) return waitpid(pid, &status, 0) == pid ? status : -1;
    sock_filter filter[] = {BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
                            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<uint32_t>(c.call), 0, 1),
                            BPF_STMT(BPF_RET | BPF_K, c.action), BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW)};
    const sock_fprog program{std::size(filter), filter};
    const rlimit size{c.fileSize, c.fileSize};
    if ((c.asNobody && geteuid() == 0 && (setgroups(0, nullptr) || setgid(65534) || setuid(65534))) ||
        !freopen(c.out.c_str(), "w", stderr) || signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &size) ||
        prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) || prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program))
        _exit(3);
    const bool done = body();
    _exit(std::fflush(stderr) == 0 && done ? 0 : 1);
}

const std::string B = "[Base]\r\n";

// Where the folder refuses a new file (to nobody, for root) it is written in place: killed at its first flush, cut or
// write, a save leaves the old or the new text, at most with blanks ending its last line (no part of it to the reader:
// core/settings_file_test.cpp) that the next save drops. Short of room or read-only (even for root): the old file, alone.
TEST_F(SettingsFileTest, KilledAndFailedSavesLeaveTheOldFileOrTheNew) {
    const std::string old = B + "j=1\r\nk=" + std::string(20, 'o'), longValue(40, 'n');  // blanks end k's line
    const std::string s = B + "j=1\r\nk=s" + std::string(19, ' '), grown = old + std::string(20, ' ');
    const rlim_t room = old.size() + 5, any = RLIM_INFINITY;
    const struct { bool inPlace; mode_t mode; std::string value; long kill; rlim_t size; std::string after; } cases[]{
        {true, 0666, "s", SYS_fsync, any, s}, {true, 0666, "s", SYS_ftruncate, any, s},
        {true, 0666, longValue, SYS_fsync, any, grown}, {true, 0666, longValue, -1, room, old},
        {false, 0666, "s", SYS_pwrite64, any, old}, {false, 0666, "s", SYS_fsync, any, old},
        {false, 0666, longValue, -1, room, old}, {false, 0444, "s", -1, any, old},
    };
    const auto save = [this](const std::string& v, const Child& child) {
        return run_child(child, [&] { return platform::profile_write_string("Base", "k", v.c_str(), ini().c_str()); });
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.inPlace ? "in place, " : "replaced, ") + c.value + ", killed at " + std::to_string(c.kill));
        restart();
        write_file(ini(), old);
        ::chmod(ini().c_str(), c.mode);
        ::chmod(path(".").c_str(), c.inPlace ? 0555 : 0755);
        const int status = save(c.value, {.call = c.kill, .fileSize = c.size, .asNobody = c.inPlace});
        EXPECT_TRUE(c.kill < 0 ? WIFEXITED(status) && WEXITSTATUS(status) == 1 : WTERMSIG(status) == SIGSYS);
        EXPECT_EQ(read_file(ini()), c.after);
        EXPECT_TRUE(c.kill >= 0 || std::distance(std::filesystem::directory_iterator(path(".")), {}) == 1);
        EXPECT_TRUE(!c.inPlace || (save("t", {.asNobody = true}) == 0 && read_file(ini()) == B + "j=1\r\nk=t"));
    }
}

// XDG_CONFIG_HOME counts only when absolute; HOME likewise, else the account's home (plain cases: e2e/install.sh).
TEST(CompanionFolder, FollowsTheConfigurationFolderOfTheUser) {
    const struct { const char *configHome, *home, *accountHome, *folder; } cases[] = {
        {"/x/conf//", "/home/u", "/home/a", "/x/conf/vantrel"}, {nullptr, "/", "/home/a", "/.config/vantrel"},
        {"", "/home/u/", "/home/a", "/home/u/.config/vantrel"}, {nullptr, nullptr, "/root", "/root/.config/vantrel"},
        {nullptr, "home/u", "/home/a", "/home/a/.config/vantrel"}, {nullptr, nullptr, "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(companion::user_folder(c.configHome, c.home, c.accountHome), c.folder)
            << (c.configHome ? c.configHome : "(unset)") << " " << (c.home ? c.home : "(unset)");
}

// A read-only folder is locked all the same (one holder at a time, with nothing made in the folder: e2e/terminal.sh).
// A folder that cannot be locked (missing, or without locks on its file system) is said once on standard error.
TEST_F(SettingsFileTest, AReadOnlyFolderIsLockedAndOneThatCannotBeIsSaidOnce) {
    std::filesystem::create_directory(path("app"));
    ::chmod(path("app").c_str(), 0555);
    EXPECT_EQ(companion::lock_folder(path("app"), 0), companion::LockResult::Taken);
    const Child refused{.call = SYS_flock, .action = SECCOMP_RET_ERRNO | ENOLCK, .out = path("stderr")};
    for (const auto& [folder, reason] : {std::pair(path("missing"), "No such file or directory"),
                                         std::pair(path("app"), "No locks available")}) {
        const auto lock = [&] { return companion::lock_folder(folder, 100) == companion::LockResult::Unavailable; };
        EXPECT_EQ(run_child(refused, lock), 0);
        EXPECT_EQ(read_file(path("stderr")), "vantrel: the settings folder " + folder + " cannot be locked (" +
                                                 reason + "); a second copy using it would go unnoticed\n");
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
