// The profile (INI) file: the reader's rules, and files no one should meet,
// read and written quickly with a defined result.
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

class ProfileTest : public CoreTest {
protected:
    std::string ini() const { return path("p.ini"); }
    std::string read(const char* key = "k") {
        char out[256];
        return {out, platform::profile_read_string("Base", key, "dflt  ", out, sizeof out, ini().c_str())};
    }
    std::string contents() const {  // as read_file, but quick for big files
        std::string text(std::filesystem::file_size(ini()), '\0');
        std::ifstream(ini(), std::ios::binary).read(text.data(), static_cast<std::streamsize>(text.size()));
        return text;
    }
};

TEST_F(ProfileTest, ReaderRules) {
    constexpr uint32_t kDefault = 0xFFFFFFF9;  // -7, read as a number
    const std::string b = "[Base]\r\n";
    const struct { std::string file; const char* text; uint32_t number; } cases[] = {
        {b + "k=\" 12\"", " 12", 12}, {b + "k=+5", "+5", 5}, {b + "k=0x10", "0x10", 16}, {b + "k=010", "010", 10},
        {b + "k=12abc", "12abc", 12}, {b + "k=abc", "abc", 0}, {b + "k=- 3", "- 3", 0}, {b + "k=\"42\"", "42", 42},
        {b + "k=", "", kDefault}, {b + "k=\"\"", "", kDefault}, {b + "k=4294967301", "4294967301", 5},
        {b + "k=-5", "-5", 0xFFFFFFFB}, {b + "k=\"a\"b\"", "a\"b", 0}, {b + "k='abc'", "abc", 0},
        {b + "k=\"abc", "\"abc", 0}, {b + "k='abc\"", "'abc\"", 0}, {b + ";k=1", "dflt", kDefault},
        // A line without "=" is no key; names match without case; the first key of a name counts.
        {"[base]\r\nk\r\nK=3\r\nk=4", "3", 3},
        // No key above the first section, or in another; only the first section of a name is read.
        {"k=1\r\n[Other]\r\nk=2\r\n[Base]\r\nj=1\r\n[BASE]\r\nk=3", "dflt", kDefault},
        {"\xEF\xBB\xBF [ base ] x\rk \t=  a b \t", "a b", 0},  // a byte-order mark, blanks, CR alone
    };
    for (const auto& c : cases) {
        write_file(ini(), c.file);
        EXPECT_EQ(read(), c.text) << c.file;
        EXPECT_EQ(platform::profile_read_int("Base", "k", -7, ini().c_str()), c.number) << c.file;
    }
    EXPECT_EQ(platform::profile_read_int("Base", "k", -7, path("none.ini").c_str()), kDefault);
}

// Each file is read, then k=v is written into it: only the end changes.
TEST_F(ProfileTest, HostileFilesAreReadAndWrittenQuickly) {
    std::string lines(50'000'000, 'x');
    for (std::size_t i = 999; i < lines.size(); i += 1000) lines[i] = '\n';
    std::string keys = "[Base]\n";
    for (int i = 0; i < 100'000; ++i) keys += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    const std::string added = "\r\n\r\n[Base]\r\nk=v\r\n";
    const struct { std::string head, before, after; const char* key; std::string value; } cases[] = {
        {lines, "[Base]\nk=found\n", "[Base]\nk=v\n", "k", "found"},
        {keys, "", "k=v\r\n", "KEY99999", "99999"},
        {std::string(1'000'000, '\0'), "", added, "k", "dflt"},
        {std::string(1'000'000, 'a'), "", added, "k", "dflt"},
        {std::string(1'000'000, '\r'), "", "[Base]\r\nk=v\r\n", "k", "dflt"},
        {"[Base]", std::string(100'000, '='), std::string(100'000, '=') + "\r\nk=v\r\n", "k", "dflt"},
        {"[Base]\rk=", std::string(300, '\xff'), "v", "k", std::string(255, '\xff')},  // not UTF-8: cut by bytes
    };
    for (const auto& c : cases) {
        write_file(ini(), c.head + c.before);
        EXPECT_EQ(read(c.key), c.value) << c.head.substr(0, 10);
        EXPECT_TRUE(platform::profile_write_string("Base", "k", "v", ini().c_str()));
        EXPECT_TRUE(contents() == c.head + c.after) << c.head.substr(0, 10);
    }
}

}  // namespace
}  // namespace vantrel::test
