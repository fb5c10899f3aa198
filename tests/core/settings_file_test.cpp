// The settings file through the core: the first save, what a load makes of
// stored values, what a save keeps, and saves that cannot or must not complete.
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

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

class SettingsFileTest : public CoreTest {
protected:
    std::string ini() const { return path("Vantrel.ini"); }
};

TEST_F(SettingsFileTest, FirstSaveWritesTheDefaultFile) {
    save_settings();
    EXPECT_EQ(read_file(ini()), kDefaultFile);
}

TEST_F(SettingsFileTest, IntegersLoadOnlyBetweenZeroAndTheirMax) {
    const struct { IntSetting& setting; const char* stored; int32_t loaded; } cases[] = {
        {settings.allusage, "100", 95}, {settings.allusage, "-5", 95}, {settings.allusage, "abc", 0},
        {settings.allusage, "99", 99}, {settings.allcount, "-1", 0}, {settings.allcount, "1001", 0},
        {settings.intervalsec, "0", 1}, {settings.intervalsec, "3601", 5}, {settings.disptrayicon, "2", 1}};
    for (const auto& c : cases) {
        write_file(ini(), "[Base]\r\n" + std::string(c.setting.key) + "=" + c.stored + "\r\n");
        reset_to_defaults(settings);
        load_settings();
        EXPECT_EQ(c.setting.get(), c.loaded) << c.setting.key << "=" << c.stored;
    }
}

TEST_F(SettingsFileTest, TextsKeepBlanksAndQuotesAndStopAt255Bytes) {
    settings.allwarnmsg.set("  say \"hi\" at {u}%  ");
    save_settings();
    reset_to_defaults(settings);
    load_settings();
    EXPECT_EQ(settings.allwarnmsg.get(), "  say \"hi\" at {u}%  ");
    write_file(ini(), "[Base]\r\nallwarnmsg=" + std::string(300, 'm') + "\r\n");
    load_settings();
    EXPECT_EQ(settings.allwarnmsg.get(), std::string(255, 'm'));
}

// A read-only file is made writable; the save changes its keys' values and adds
// the missing keys after the section's last key line; every other byte stays.
TEST_F(SettingsFileTest, SaveKeepsAReadOnlyFilesForeignLines) {
    const std::string head = "; Vantrel settings\n[Other]\nallusage=1\n\n[BASE]\r\n  IntervalSec = 30  \r\n"
                             "unknown line\rallusage=90\r\nextra=keep\r\n";
    const std::string tail = "; note=not a key\r\n\r\n[Tail]\nx=y";
    write_file(ini(), head + tail);
    ASSERT_EQ(::chmod(ini().c_str(), 0444), 0);
    load_settings();
    settings.allusage.set(70);
    save_settings();
    std::string expected = head + kDefaultFile.substr(kDefaultFile.find("allusageinfo=")) + tail;
    expected.erase(expected.find("intervalsec=5\r\n"), 15);
    expected.replace(expected.find("allusage=90"), 11, "allusage=70");
    EXPECT_EQ(read_file(ini()), expected);
}

// Without root's privileges (a child as nobody, for root) a save cannot replace a
// file in a read-only directory, even one it could write in place: nothing changes.
TEST_F(SettingsFileTest, SaveIntoAnUnwritableDirectoryTouchesNothing) {
    write_file(ini(), "[Base]\r\nallusage=1\r\n");
    ASSERT_EQ(::chmod(ini().c_str(), 0666), 0);
    ASSERT_EQ(::chmod(path(".").c_str(), 0555), 0);
    settings.allusage.set(42);
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        save_settings();
        _exit(0);
    }
    int status = 0;
    EXPECT_TRUE(waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(read_file(ini()), "[Base]\r\nallusage=1\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(path(".")), {}), 1);  // no temporary file either
}

TEST_F(SettingsFileTest, NoFileIsTouchedWhenTheSettingsPathDoesNotFit) {
    // A 250-byte directory: the executable's path fits in 260 bytes, the settings file's does not.
    const std::string deep = path(std::string(250 - path("").size(), 'd'));
    fs::create_directory(deep);
    write_file(deep + "/Vantrel.ini", "[Base]\r\nallusage=50\r\n");
    fake::system().executablePath = deep + "/vantrel";
    load_settings();
    EXPECT_EQ(settings.allusage.get(), 95);
    settings.allusage.set(60);
    save_settings();
    EXPECT_EQ(read_file(deep + "/Vantrel.ini"), "[Base]\r\nallusage=50\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(deep), {}), 1);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// Saves of two sets of values, killed at any moment, leave every line with
// its value from one set or the other.
TEST_F(SettingsFileTest, KilledSaveLeavesOldOrNewValueInEveryKey) {
    const auto save = [this](bool second) {
        int32_t n = second ? 1000 : 0;
        for (IntSetting* s : int_settings(settings)) s->set(n++);
        for (StringSetting* s : string_settings(settings)) s->set(second ? std::string(s->key) + " is longer" : "old");
        save_settings();
        return read_file(ini());
    };
    const std::vector<std::string> second = lines(save(true)), first = lines(save(false));
    for (int round = 0; round < 100; ++round) {
        const pid_t pid = fork();
        for (bool b = true; pid == 0; b = !b) save(b);
        ::usleep(static_cast<useconds_t>(round * 397 % 20'000));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        const std::vector<std::string> got = lines(read_file(ini()));
        ASSERT_EQ(got.size(), first.size()) << read_file(ini());
        for (std::size_t i = 0; i < got.size(); ++i) ASSERT_TRUE(got[i] == first[i] || got[i] == second[i]) << got[i];
    }
}

}  // namespace
}  // namespace vantrel::test
