// The profile (INI) file: the reader's rules, and hostile files read and written quickly with a defined result.
#include <fstream>
#include <sstream>
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
    int32_t number() { return static_cast<int32_t>(platform::profile_read_int("Base", "k", -7, ini().c_str())); }
    std::string contents() const { return (std::ostringstream() << std::ifstream(ini()).rdbuf()).str(); }
};

TEST_F(ProfileTest, ReaderRules) {
    EXPECT_EQ(number(), -7);  // no file
    const std::string b = "[Base]\r\nk=";
    const struct { std::string file; const char* text; int32_t number; } cases[] = {
        {b + "\" 12\"", " 12", 12}, {b + "+5", "+5", 5}, {b + "0x10", "0x10", 16}, {b + "010", "010", 10},
        {b + "12abc", "12abc", 12}, {b + "abc", "abc", 0}, {b + "- 3", "- 3", 0}, {b, "", -7}, {b + "\"\"", "", -7},
        {b + "4294967301", "4294967301", 5}, {b + "-5", "-5", -5}, {b + "\"a\"b\"", "a\"b", 0}, {b + "'abc'", "abc", 0},
        {b + "\"abc", "\"abc", 0}, {b + "'abc\"", "'abc\"", 0}, {"[Base]\r\n;k=1", "dflt", -7},
        // No key without "=", above the first section or in another; names match without case; the first
        // key and section of a name count.
        {"[base]\r\nk\r\nK=3\r\nk=4", "3", 3}, {"k=1\r\n[Other]\r\nk=2\r\n[Base]\r\nj=1\r\n[BASE]\r\nk=3", "dflt", -7},
        {"\xEF\xBB\xBF [ base ] x\rk \t=  a b \t", "a b", 0},  // a byte-order mark, blanks, CR alone
    };
    for (const auto& c : cases) {
        write_file(ini(), c.file);
        EXPECT_TRUE(read() == c.text && number() == c.number) << c.file << ": " << read() << ", " << number();
    }
}

// Each file is read, then k=v is written into it: only the end changes.
TEST_F(ProfileTest, HostileFilesAreReadAndWrittenQuickly) {
    std::string lines(50'000'000, 'x');
    for (std::size_t i = 999; i < lines.size(); i += 1000) lines[i] = '\n';
    std::string keys = "[Base]\n";
    for (int i = 0; i < 100'000; ++i) keys += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    const std::string added = "\r\n\r\n[Base]\r\nk=v\r\n";
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
        EXPECT_TRUE(platform::profile_write_string("Base", "k", "v", ini().c_str()) && contents() == c.head + c.after);
    }
}

}  // namespace
}  // namespace vantrel::test
