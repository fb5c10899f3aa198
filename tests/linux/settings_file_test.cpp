// The settings file and the usage log where only POSIX can make the case:
// saves refused to root by the permissions, saves killed part way, log
// names that are no regular file.
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "log/usage_log.h"
#include "monitor/process_table.h"
#include "settings/settings_file.h"
#include "settings/settings_table.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

using SettingsFileTest = CoreTest;

// As nobody (a child, for root): a folder that refuses new files has its writable settings file written in
// place; a read-only file there is not written. No temporary file is left behind.
TEST_F(SettingsFileTest, SaveInAFolderThatRefusesNewFilesWritesInPlace) {
    const std::string old = "[Base]\r\nallusage=50\r\n";
    write_file(ini(), old);
    settings.allusage.set(60);
    const auto save_as_nobody = [&](mode_t fileMode) {
        ASSERT_TRUE(::chmod(ini().c_str(), fileMode) == 0 && ::chmod(path(".").c_str(), 0555) == 0);
        const pid_t pid = fork();
        if (pid == 0 && geteuid() == 0 && (setgroups(0, nullptr) || setgid(65534) || setuid(65534))) _exit(2);
        if (pid == 0) {
            save_settings();
            _exit(0);
        }
        int status = 0;
        EXPECT_TRUE(waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0);
        ::chmod(path(".").c_str(), 0755);
    };
    save_as_nobody(0444);
    EXPECT_EQ(read_file(ini()), old);
    save_as_nobody(0666);
    const std::string saved = read_file(ini());
    EXPECT_EQ(saved.rfind("[Base]\r\nallusage=60\r\nallusageinfo=80\r\n", 0), 0u) << saved;
    EXPECT_TRUE(saved.ends_with("\r\nlogfilename=\"\"\r\n")) << saved;
    EXPECT_EQ(std::distance(fs::directory_iterator(path(".")), {}), 1);
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

// Saves of two sets of values, killed at any moment, leave every line from one set or the other.
TEST_F(SettingsFileTest, KilledSaveLeavesOldOrNewValueInEveryKey) {
    const auto save = [this](bool second) {
        for (IntSetting* s : int_settings(settings)) s->set(second);
        for (StringSetting* s : string_settings(settings)) s->set(second ? std::string(s->key) + " is longer" : "old");
        save_settings();
        return read_file(ini());
    };
    const std::string second = save(true), first = save(false);
    for (int round = 0; round < 100; ++round) {
        const pid_t pid = fork();
        for (bool b = true; pid == 0; b = !b) save(b);
        ::usleep(static_cast<useconds_t>(round * 397 % 20'000));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        std::istringstream got(read_file(ini())), one(first), two(second);
        for (std::string g, x, y; std::getline(one, x) && std::getline(two, y);)
            ASSERT_TRUE(std::getline(got, g) && (g == x || g == y)) << g << " in " << read_file(ini());
        ASSERT_EQ(got.peek(), std::istringstream::traits_type::eof()) << read_file(ini());
    }
}

}  // namespace
}  // namespace vantrel::test
