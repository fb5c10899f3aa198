// The settings file through the core: what a save writes and keeps, what a load takes, failed saves.
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

const std::string kDefaultFile =
    "[Base]\r\nallusage=95\r\nallusageinfo=80\r\neachusage=80\r\nintervalsec=5\r\ndisptrayicon=1\r\nallcount=0\r\n"
    "allinfocnt=0\r\neachcount=1\r\nallenable=1\r\nallinfoenable=1\r\neachenable=1\r\nwritelogfile=0\r\n"
    "allwarntitle=\"CPU使用率 の警告！\"\r\nallwarnmsg=\"CPU使用率が {u}% に達しました\"\r\n"
    "allinfotitle=\"CPU使用率 のお知らせ\"\r\nallinfomsg=\"CPU使用率は {u}% です\"\r\n"
    "eachwarntitle=\"CPU使用率 の警告！\"\r\neachwarnmsg=\"プロセス[{p}]がCPUを {u}% 使っています\"\r\n"
    "ignoreproc=\"\"\r\nlogfilename=\"\"\r\n";

struct SettingsFileTest : CoreTest {
    std::string ini() const { return path("Vantrel.ini"); }
};

// A load keeps an integer outside 0 to its max; texts keep blanks and quotes and stop at 255 bytes.
TEST_F(SettingsFileTest, FirstSaveWritesTheDefaultsAndALoadTakesValuesWithinTheirLimits) {
    save_settings();
    EXPECT_EQ(read_file(ini()), kDefaultFile);
    settings.allwarnmsg.set("  say \"hi\" at {u}%  ");
    save_settings();
    const struct { IntSetting& setting; const char* stored; int32_t loaded; } cases[] = {
        {settings.allusage, "100", 95}, {settings.allusageinfo, "-5", 80}, {settings.eachusage, "99", 99},
        {settings.allenable, "abc", 0}, {settings.eachcount, "1001", 1}, {settings.intervalsec, "3601", 5},
        {settings.disptrayicon, "2", 1}};
    std::string file = "[Base]\r\nallinfomsg=" + std::string(300, 'm') + "\r\n";
    for (const auto& c : cases) file += std::string(c.setting.key) + "=" + c.stored + "\r\n";
    write_file(ini(), file + read_file(ini()).substr(8));  // before the saved keys: the first key counts
    reset_to_defaults(settings);
    load_settings();
    for (const auto& c : cases) EXPECT_EQ(c.setting.get(), c.loaded) << c.setting.key << "=" << c.stored;
    EXPECT_EQ(settings.allwarnmsg.get(), "  say \"hi\" at {u}%  ");
    EXPECT_EQ(settings.allinfomsg.get(), std::string(255, 'm'));
}

// Read-only is cleared; keys change in place, missing ones follow the last key line; all else stays.
TEST_F(SettingsFileTest, SaveKeepsAReadOnlyFilesForeignLines) {
    const std::string head = "; Vantrel settings\n[Other]\nallusage=1\n\n[BASE]\r\n  IntervalSec = 0  \r\n"
                             "unknown line\rallusage=90\r\nextra=keep\r\n";
    const std::string tail = "; note=not a key\r\n\r\n[Tail]\nx=y";
    write_file(ini(), head + tail);
    ASSERT_EQ(::chmod(ini().c_str(), 0444), 0);
    load_settings();
    settings.allusage.set(70);
    save_settings();
    std::string expected = head + kDefaultFile.substr(kDefaultFile.find("allusageinfo=")) + tail;
    expected.erase(expected.find("intervalsec=5\r\n"), 15);
    expected.replace(expected.find("allusage=90"), 11, "allusage=70").replace(expected.find(" 0 "), 3, " 1 ");
    EXPECT_EQ(read_file(ini()), expected);
}

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
