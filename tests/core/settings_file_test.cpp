// The settings file through the core: the file a first save makes, what a
// load makes of stored values, what a save keeps, and saves that cannot or
// must not complete.
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>
#include <string>

#include "settings/settings_file.h"
#include "settings/settings_table.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

class SettingsFileTest : public CoreTest {
protected:
    std::string ini() const { return path("Vantrel.ini"); }

    // Loads a file holding the lines in section Base, from the defaults.
    void load_base(const std::string& lines) {
        write_file(ini(), "[Base]\r\n" + lines);
        reset_to_defaults(settings);
        load_settings();
    }

    std::set<std::string> dir_entries() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir())) names.insert(entry.path().filename());
        return names;
    }

    // Runs save_settings in a child process without root's privileges, so
    // that permissions hold also when the tests run as root. The child's
    // exit status, or -1 when it did not exit by itself.
    static int save_unprivileged() {
        const pid_t pid = fork();
        if (pid == 0) {
            if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
                _exit(2);
            save_settings();
            _exit(0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

const char* const kDefaultFile =
    "[Base]\r\n"
    "allusage=95\r\n"
    "allusageinfo=80\r\n"
    "eachusage=80\r\n"
    "intervalsec=5\r\n"
    "disptrayicon=1\r\n"
    "allcount=0\r\n"
    "allinfocnt=0\r\n"
    "eachcount=1\r\n"
    "allenable=1\r\n"
    "allinfoenable=1\r\n"
    "eachenable=1\r\n"
    "writelogfile=0\r\n"
    "allwarntitle=\"CPU使用率 の警告！\"\r\n"
    "allwarnmsg=\"CPU使用率が {u}% に達しました\"\r\n"
    "allinfotitle=\"CPU使用率 のお知らせ\"\r\n"
    "allinfomsg=\"CPU使用率は {u}% です\"\r\n"
    "eachwarntitle=\"CPU使用率 の警告！\"\r\n"
    "eachwarnmsg=\"プロセス[{p}]がCPUを {u}% 使っています\"\r\n"
    "ignoreproc=\"\"\r\n"
    "logfilename=\"\"\r\n";

TEST_F(SettingsFileTest, FirstSaveWritesTheDefaultFile) {
    load_settings();
    EXPECT_EQ(settings.intervalsec.get(), 5);
    save_settings();
    EXPECT_EQ(read_file(ini()), kDefaultFile);
    // A second save of the same values leaves the file as it is.
    save_settings();
    EXPECT_EQ(read_file(ini()), kDefaultFile);
}

TEST_F(SettingsFileTest, IntegersLoadOnlyBetweenZeroAndTheirMax) {
    const struct {
        IntSetting& setting;
        const char* stored;
        int32_t loaded;
    } cases[] = {
        {settings.allusage, "100", 95},     {settings.allusage, "99", 99},
        {settings.allusage, "0", 0},        {settings.allusage, "-5", 95},
        {settings.allusage, "abc", 0},      {settings.allcount, "-1", 0},
        {settings.allcount, "1000", 1000},  {settings.allcount, "1001", 0},
        {settings.intervalsec, "0", 1},     {settings.intervalsec, "-3", 5},
        {settings.intervalsec, "3601", 5},  {settings.writelogfile, "2", 0},
        {settings.disptrayicon, "2", 1},    {settings.eachusage, "", 80},
    };
    for (const auto& c : cases) {
        load_base(std::string(c.setting.key) + "=" + c.stored + "\r\n");
        EXPECT_EQ(c.setting.get(), c.loaded) << c.setting.key << "=" << c.stored;
    }
}

TEST_F(SettingsFileTest, TextsLoadWithOrWithoutQuotesAndAtMost255Bytes) {
    load_base("ignoreproc=notepad.exe\r\nlogfilename=\"notepad.exe\"\r\nallwarnmsg=" +
              std::string(300, 'm') + "\r\n");
    EXPECT_EQ(settings.ignoreproc.get(), "notepad.exe");
    EXPECT_EQ(settings.logfilename.get(), "notepad.exe");
    EXPECT_EQ(settings.allwarnmsg.get(), std::string(255, 'm'));
}

TEST_F(SettingsFileTest, BlanksAndQuotesInsideTextsSurviveASaveAndALoad) {
    settings.ignoreproc.set("  a.exe, b.exe  ");
    settings.allwarnmsg.set("say \"hi\" at {u}%");
    save_settings();
    const std::string file = read_file(ini());
    EXPECT_NE(file.find("\r\nignoreproc=\"  a.exe, b.exe  \"\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\nallwarnmsg=\"say \"hi\" at {u}%\"\r\n"), std::string::npos);
    reset_to_defaults(settings);
    load_settings();
    EXPECT_EQ(settings.ignoreproc.get(), "  a.exe, b.exe  ");
    EXPECT_EQ(settings.allwarnmsg.get(), "say \"hi\" at {u}%");
}

TEST_F(SettingsFileTest, SaveKeepsOrderForeignLinesAndLineEnds) {
    const std::string head =
        "; Vantrel settings\n"
        "[Other]\n"
        "allusage=1\n"
        "\n"
        "[BASE]\r\n"
        "  IntervalSec = 30  \r\n"
        "unknown line\r"
        "allusage=90\r\n"
        "extra=keep\r\n";
    const std::string tail =
        "; note\r\n"
        "\r\n"
        "[Tail]\n"
        "x=y";
    write_file(ini(), head + tail);
    load_settings();
    EXPECT_EQ(settings.allusage.get(), 90);
    EXPECT_EQ(settings.intervalsec.get(), 30);

    settings.allusage.set(70);
    save_settings();
    // The keys that were missing follow the section's last key line, in
    // table order; everything else is as it was.
    std::string added;
    const std::string defaults = kDefaultFile;
    for (std::size_t at = defaults.find("\r\n") + 2; at < defaults.size();) {
        const std::size_t end = defaults.find("\r\n", at) + 2;
        const std::string line = defaults.substr(at, end - at);
        if (!line.starts_with("allusage=") && !line.starts_with("intervalsec=")) added += line;
        at = end;
    }
    std::string expected = head + added + tail;
    expected.replace(expected.find("allusage=90"), 11, "allusage=70");
    EXPECT_EQ(read_file(ini()), expected);
}

TEST_F(SettingsFileTest, ReadOnlyFileBecomesWritableAtTheFirstReadAndIsSaved) {
    write_file(ini(), "[Base]\r\nallusage=50\r\n");
    ASSERT_EQ(::chmod(ini().c_str(), 0444), 0);
    load_settings();
    EXPECT_EQ(settings.allusage.get(), 50);
    struct stat st {};
    ::stat(ini().c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0644u);

    settings.allusage.set(60);
    save_settings();
    EXPECT_TRUE(read_file(ini()).starts_with("[Base]\r\nallusage=60\r\nallusageinfo=80\r\n"));
    ::stat(ini().c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST_F(SettingsFileTest, SaveIntoAnUnwritableDirectoryTouchesNothing) {
    settings.allusage.set(42);
    ASSERT_EQ(::chmod(dir().c_str(), 0555), 0);
    EXPECT_EQ(save_unprivileged(), 0);
    EXPECT_TRUE(dir_entries().empty());

    // A file that could itself be written is not changed either: a save
    // replaces the file whole, which the directory does not allow.
    ASSERT_EQ(::chmod(dir().c_str(), 0755), 0);
    write_file(ini(), "[Base]\r\nallusage=1\r\n");
    ASSERT_EQ(::chmod(ini().c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir().c_str(), 0555), 0);
    EXPECT_EQ(save_unprivileged(), 0);
    EXPECT_EQ(read_file(ini()), "[Base]\r\nallusage=1\r\n");
    EXPECT_EQ(dir_entries(), std::set<std::string>{"Vantrel.ini"});
}

TEST_F(SettingsFileTest, NoFileIsTouchedWhenThePathDoesNotFit) {
    // A directory of 250 bytes: the executable's path fits in 260 bytes, the
    // settings file's does not.
    std::string deep = dir();
    while (deep.size() < 250) deep += "/" + std::string(std::min<std::size_t>(40, 249 - deep.size()), 'd');
    ASSERT_EQ(deep.size(), 250u);
    std::filesystem::create_directories(deep);
    const std::string file = deep + "/Vantrel.ini";
    write_file(file, "[Base]\r\nallusage=50\r\n");
    ASSERT_EQ(read_file(file), "[Base]\r\nallusage=50\r\n");

    for (const std::string& exe : {deep + "/vantrel", std::string()}) {
        fake::system().executablePath = exe;
        reset_to_defaults(settings);
        load_settings();
        EXPECT_EQ(settings.allusage.get(), 95);
        settings.allusage.set(60);
        save_settings();
        EXPECT_EQ(read_file(file), "[Base]\r\nallusage=50\r\n");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(deep), {}), 1);
    }
}

// Two complete sets of values; a save killed at any moment must leave every
// key with the value of one of them.
void apply_values(bool second) {
    int32_t n = second ? 1000 : 0;
    for (IntSetting* s : int_settings(settings)) s->set(n++);
    for (StringSetting* s : string_settings(settings))
        s->set(second ? std::string(s->key) + " has a longer, second value" : "old");
}

TEST_F(SettingsFileTest, KilledSaveLeavesOldOrNewValueInEveryKey) {
    apply_values(false);
    save_settings();
    std::set<std::string> allowed;
    for (bool second : {false, true}) {
        apply_values(second);
        for (IntSetting* s : int_settings(settings)) allowed.insert(std::string(s->key) + "=" + std::to_string(s->get()));
        for (StringSetting* s : string_settings(settings)) allowed.insert(std::string(s->key) + "=\"" + s->get() + "\"");
    }

    std::mt19937 random(7);
    int changed = 0;
    for (int round = 0; round < 100; ++round) {
        const std::string before = read_file(ini());
        const pid_t pid = fork();
        if (pid == 0) {
            for (bool second = true;; second = !second) {
                apply_values(second);
                save_settings();
            }
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 20000)(random));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);

        const std::string file = read_file(ini());
        changed += file != before;
        ASSERT_TRUE(file.starts_with("[Base]\r\n") && file.ends_with("\r\n")) << file;
        std::set<std::string> keys;
        for (std::size_t at = 8; at < file.size();) {
            const std::size_t end = file.find("\r\n", at);
            const std::string line = file.substr(at, end - at);
            ASSERT_TRUE(allowed.contains(line)) << line;
            keys.insert(line.substr(0, line.find('=')));
            at = end + 2;
        }
        ASSERT_EQ(keys.size(), 20u);
    }
    EXPECT_GT(changed, 0);
}

}  // namespace
}  // namespace vantrel::test
