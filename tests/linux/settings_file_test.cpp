// The settings file where only POSIX can make the case: a save refused to
// root by the permissions, and saves killed part way.
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "settings/settings_file.h"
#include "settings/settings_table.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

using SettingsFileTest = CoreTest;

// A settings path over 260 bytes (the executable's fits) is neither read nor written; a save as nobody
// (a child, for root) cannot replace a file in a read-only directory, not even in place. No temporary file.
TEST_F(SettingsFileTest, NoFileIsTouchedWhenASaveCannotComplete) {
    const std::string deep = path(std::string(250 - path("").size(), 'd')), old = "[Base]\r\nallusage=50\r\n";
    fs::create_directory(deep);
    for (const std::string& file : {deep + "/Vantrel.ini", ini()}) write_file(file, old);
    ASSERT_TRUE(::chmod(ini().c_str(), 0666) == 0 && ::chmod(path(".").c_str(), 0555) == 0);
    settings.allusage.set(60);
    const pid_t pid = fork();
    if (pid == 0 && geteuid() == 0 && (setgroups(0, nullptr) || setgid(65534) || setuid(65534))) _exit(2);
    if (pid == 0) {
        save_settings();
        _exit(0);
    }
    int status = 0;
    EXPECT_TRUE(waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    fake::system().executablePath = deep + "/vantrel";
    load_settings();
    EXPECT_EQ(settings.allusage.get(), 60);
    save_settings();
    for (const std::string& dir : {deep, path(".")}) {
        EXPECT_EQ(read_file(dir + "/Vantrel.ini"), old) << dir;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), dir == deep ? 1 : 2) << dir;
    }
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
