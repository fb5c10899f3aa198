// The settings file through the core: what a save writes and keeps, what a load takes, failed saves.
#include "settings/settings_file.h"
#include "settings/settings_table.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

const std::string kDefaultFile =
    "[Base]\r\nallusage=95\r\nallusageinfo=80\r\neachusage=80\r\nintervalsec=5\r\ndisptrayicon=1\r\nallcount=0\r\n"
    "allinfocnt=0\r\neachcount=1\r\nallenable=1\r\nallinfoenable=1\r\neachenable=1\r\nwritelogfile=0\r\n"
    "allwarntitle=\"CPU使用率 の警告！\"\r\nallwarnmsg=\"CPU使用率が {u}% に達しました\"\r\n"
    "allinfotitle=\"CPU使用率 のお知らせ\"\r\nallinfomsg=\"CPU使用率は {u}% です\"\r\n"
    "eachwarntitle=\"CPU使用率 の警告！\"\r\neachwarnmsg=\"プロセス[{p}]がCPUを {u}% 使っています\"\r\n"
    "ignoreproc=\"\"\r\nlogfilename=\"\"\r\n";

using SettingsFileTest = CoreTest;

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

// Read-only is cleared; keys change in place, missing ones go at the end of the section; all else stays.
TEST_F(SettingsFileTest, SaveKeepsAReadOnlyFilesForeignLines) {
    const std::string head = "; Vantrel settings\r\n[Other]\r\nallusage=1\r\n[BASE]\r\nIntervalSec=0\r\n"
                             "unknown line\r\nallusage=90\r\nextra=keep\r\n; note=not a key\r\n";
    const std::string tail = "[Tail]\r\nx=y\r\n";
    write_file(ini(), head + tail);
    set_read_only(ini());
    load_settings();
    settings.allusage.set(70);
    save_settings();
    std::string expected = head + kDefaultFile.substr(kDefaultFile.find("allusageinfo=")) + tail;
    expected.erase(expected.find("intervalsec=5\r\n"), 15);
    expected.replace(expected.find("allusage=90"), 11, "allusage=70").replace(expected.find("=0\r\nunknown"), 2, "=1");
    EXPECT_EQ(read_file(ini()), expected);
    EXPECT_FALSE(is_read_only(ini()));
}

// The folder ends at the last separator that is a character of its own: in code page 932 the second byte of
// 表 (0x95 0x5C) is a backslash. A path that does not fit stays empty.
TEST_F(SettingsFileTest, CompanionPathEndsAtTheLastWholeSeparator) {
    fake::system().codePage = CodePage::Cp932;
    fake::system().separator = '\\';
    char got[kPathBufferSize];
    const struct { std::string exe, ini; } cases[] = {
        {"C:\\d\\\x95\x5C\x8E\xA6.exe", "C:\\d\\Vantrel.ini"},
        {"C:\\\x95\x5C\\\x83\x5C.exe", "C:\\\x95\x5C\\Vantrel.ini"},
        {"\x95\x5C.exe", "Vantrel.ini"},
        {"C:\\" + std::string(248, 'd') + "\\v.exe", ""}};
    for (const auto& c : cases) {
        fake::system().executablePath = c.exe;
        companion_file_path(CompanionFile::Settings, got);
        EXPECT_EQ(std::string(got), c.ini) << c.exe;
    }
}

}  // namespace
}  // namespace vantrel::test
