// The settings file: the private-profile (INI) cases, one table run against
// the Linux reader and writer and the Windows profile functions (where Wine
// answers otherwise than the program's rules ask, the case names Wine's
// answer, expected only under Wine); the Linux file with hostile contents;
// the file through the core: what a save writes and keeps, what a load takes.
#include <cstdio>
#include <string>

#include "settings/settings_file.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

// The settings file in the test's folder, read through the platform's profile functions.
class SettingsFileTest : public CoreTest {
protected:
    // Key k of section Base (or another key) as a text, the default "dflt  ".
    std::string read(const char* key = "k") {
        char out[256];
        return {out, platform::profile_read_string("Base", key, "dflt  ", out, sizeof out, ini().c_str())};
    }
    // Key k of section Base as a number, the default -7.
    int32_t number() { return static_cast<int32_t>(platform::profile_read_int("Base", "k", -7, ini().c_str())); }
};

const std::string B = "[Base]\r\n";

// The Windows build's tests run under Wine (CMAKE_CROSSCOMPILING_EMULATOR): VANTREL_TESTS_UNDER_WINE.

// Each case: the whole file, its key k read as a text and as a number.
TEST_F(SettingsFileTest, ProfileReading) {
    const struct { std::string file, text; int32_t number; } cases[] = {
        // Values, quotes and blanks.
        {B + "k=v", "v", 0}, {B + "k=  a b \t", "a b", 0}, {B + "k=\" 12\"", " 12", 12}, {B + "k=''", "", -7},
        {B + "k=\"\"", "", -7}, {B + "k=", "", -7}, {B + "k=\"a\"b\"", "a\"b", 0}, {B + "k='abc'", "abc", 0},
        {B + "k=\"abc", "\"abc", 0}, {B + "k='abc\"", "'abc\"", 0}, {B + "k=\"x\" y", "\"x\" y", 0},
        {B + "k=a=b;c", "a=b;c", 0},
        // Numbers: signs, bases, overflow.
        {B + "k=+5", "+5", 5}, {B + "k=-5", "-5", -5}, {B + "k=- 3", "- 3", 0}, {B + "k=0x10", "0x10", 16},
        {B + "k=0X1f", "0X1f", 0}, {B + "k=0x", "0x", 0}, {B + "k=010", "010", 10}, {B + "k=12abc", "12abc", 12},
        {B + "k=abc", "abc", 0}, {B + "k=1e3", "1e3", 1}, {B + "k=4294967301", "4294967301", 5},
        {B + "k=-2147483649", "-2147483649", 2147483647},
        // Comments, case, equal keys and sections, lines that are no keys.
        {B + ";k=1", "dflt", -7}, {B + "  ;k=1", "dflt", -7}, {"[base]\r\nK=3\r\nk=4", "3", 3},
        {"k=1\r\n[Other]\r\nk=2\r\n[Base]\r\nj=1\r\n[BASE]\r\nk=3", "dflt", -7}, {B + "k\r\nk=4", "dflt", -7},
        {B + "=4\r\nk=5", "5", 5}, {"[Base\r\nk=1", "dflt", -7},
        // Line ends and a byte-order mark.
        {"[Base]\nk=lf", "lf", 0}, {"\xEF\xBB\xBF [ base ] x\rk \t=  a b \t", "a b", 0},
        // At most 255 bytes.
        {B + "k=" + std::string(300, 'v'), std::string(255, 'v'), 0},
    };
    EXPECT_TRUE(read() == "dflt" && number() == -7);  // no file: the default, without its trailing blanks
    for (const auto& c : cases) {
        write_file(ini(), c.file);
        EXPECT_EQ(read(), c.text) << c.file;
        EXPECT_EQ(number(), c.number) << c.file;
    }
}

// Each case: the file before ("-": none), after value is written to key in section, and Wine's answer where it
// differs.
TEST_F(SettingsFileTest, ProfileWriting) {
    const struct {
        std::string before, after;
        const char *wineAfter = nullptr, *section = "Base", *key = "k", *value = "v";
    } cases[] = {
        // A new file, section and key; keys changed in place.
        {"-", B + "k=v\r\n"},
        {B + "j=1\r\n", B + "j=1\r\nk=v\r\n"},
        {B + "k=old\r\nj=1\r\n", B + "k=v\r\nj=1\r\n"},
        {"[base]\r\nK=old\r\nk=2\r\n", "[base]\r\nK=v\r\nk=2\r\n", nullptr, "BASE"},
        {"[Other]\r\nx=1\r\n", "[Other]\r\nx=1\r\n" + B + "k=v\r\n"},
        {B + "j=1", B + "j=1\r\nk=v\r\n"},
        {B + "j=1\r\n" + B + "x=1\r\n", B + "j=1\r\nk=v\r\n" + B + "x=1\r\n"},
        // A new key goes at the end of its section, after its comments.
        {B + "j=1\r\n; end of Base\r\n[Other]\r\nx=1\r\n", B + "j=1\r\n; end of Base\r\nk=v\r\n[Other]\r\nx=1\r\n"},
        {B + "; only\r\n", B + "; only\r\nk=v\r\n"},
        // A line without "=" is a key without a value, not another key.
        {B + "k\r\nk=2\r\n", B + "k=v\r\nk=2\r\n"},
        {B + "kk\r\n", B + "kk\r\nk=v\r\n"},
        // Names are matched without their blanks; names and values are
        // written from their first byte that is not blank.
        {B + "k=1\r\n", B + "k=v\r\n", nullptr, " Base ", " k "},
        {"-", "[Base ]\r\nk =v\t\r\n", nullptr, " Base ", " k ", " \tv\t"},
        // Values are written as they are given.
        {"-", B + "k=\"a \"b\" \"\r\n", nullptr, "Base", "k", "\"a \"b\" \""},
        {"-", B + "k=\r\n", nullptr, "Base", "k", ""},
        // Other lines stay as they are. Wine writes the whole file anew:
        // without blank lines, without blanks around names and values, with
        // CR LF after every line.
        {B + "j=1\r\n\r\n; c\r\n\r\n[Other]\r\n", B + "j=1\r\n\r\n; c\r\nk=v\r\n\r\n[Other]\r\n",
         "[Base]\r\nj=1\r\n; c\r\nk=v\r\n[Other]\r\n"},
        {"; head\n[Other]\nx = 1\n\n[Base]\r\n  j = 2  \r\n\r\n[Tail]\rt=3",
         "; head\n[Other]\nx = 1\n\n[Base]\r\n  j = 2  \r\nk=v\r\n\r\n[Tail]\rt=3",
         "; head\r\n[Other]\r\nx=1\r\n[Base]\r\nj=2\r\nk=v\r\n[Tail]\r\nt=3\r\n"},
        {"[Other]\r\nx=1\r\n\r\n", "[Other]\r\nx=1\r\n\r\n" + B + "k=v\r\n", "[Other]\r\nx=1\r\n[Base]\r\nk=v\r\n"},
    };
    for (const auto& c : cases) {
        std::remove(ini().c_str());
        if (c.before != "-") write_file(ini(), c.before);
        EXPECT_TRUE(platform::profile_write_string(c.section, c.key, c.value, ini().c_str())) << c.before;
        const std::string expected = c.wineAfter != nullptr && VANTREL_TESTS_UNDER_WINE ? c.wineAfter : c.after;
        EXPECT_EQ(read_file(ini()), expected) << c.before;
    }
}

// Each file is read, then k=v is written into it: only the end changes.
TEST_F(SettingsFileTest, HostileFilesAreReadAndWrittenQuickly) {
    if (VANTREL_TESTS_UNDER_WINE) GTEST_SKIP() << "Wine's profile functions rewrite the whole file";
    std::string lines(50'000'000, 'x');
    for (std::size_t i = 999; i < lines.size(); i += 1000) lines[i] = '\n';
    std::string keys = "[Base]\n";
    for (int i = 0; i < 100'000; ++i) keys += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    const std::string added = "\r\n[Base]\r\nk=v\r\n";
    const struct { std::string head, before, after; const char* key; std::string value; } cases[] = {
        {lines, "[Base]\nk=found\n", "[Base]\nk=v\n", "k", "found"}, {keys, "", "k=v\r\n", "KEY99999", "99999"},
        {std::string(1'000'000, '\0'), "", added, "k", "dflt"}, {std::string(1'000'000, 'a'), "", added, "k", "dflt"},
        {std::string(1'000'000, '\r'), "", "[Base]\r\nk=v\r\n", "k", "dflt"},
        {"[Base]", std::string(100'000, '='), std::string(100'000, '=') + "\r\nk=v\r\n", "k", "dflt"},
        {"[Base]\rk=", std::string(300, '\xff'), "v", "k", std::string(255, '\xff')},  // not UTF-8: cut by bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.head.substr(0, 10));
        write_file(ini(), c.head + c.before);
        EXPECT_EQ(read(c.key), c.value);
        EXPECT_TRUE(platform::profile_write_string("Base", "k", "v", ini().c_str()) && read_file(ini()) == c.head + c.after);
    }
}

// A load keeps an integer outside 0 to its max; texts keep blanks and quotes and stop at 255 bytes. What a save
// writes, byte for byte: e2e/tray_menu.sh and win32/e2e/tray.sh.
TEST_F(SettingsFileTest, ALoadTakesValuesWithinTheirLimits) {
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
    save_settings();  // the defaults, as a first save writes them
    const std::string defaults = read_file(ini());
    const std::string head = "; Vantrel settings\r\n[Other]\r\nallusage=1\r\n[BASE]\r\nIntervalSec=0\r\n"
                             "unknown line\r\nallusage=90\r\nextra=keep\r\n; note=not a key\r\n";
    const std::string tail = "[Tail]\r\nx=y\r\n";
    write_file(ini(), head + tail);
    set_read_only(ini());
    load_settings();
    settings.allusage.set(70);
    save_settings();
    std::string expected = head + defaults.substr(defaults.find("allusageinfo=")) + tail;
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
