// Reading the profile file: values as the Windows profile functions give
// them, and the defaults when something is missing.
#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

class ProfileReaderTest : public CoreTest {
protected:
    static constexpr int32_t kDefault = -7;

    uint32_t read_int(const std::string& text, const char* key = "k") {
        write_file(path("p.ini"), text);
        return platform::profile_read_int("Base", key, kDefault, path("p.ini").c_str());
    }
    std::string read_string(const std::string& text, const char* key = "k") {
        write_file(path("p.ini"), text);
        char out[256];
        const std::size_t n =
            platform::profile_read_string("Base", key, "default  ", out, sizeof out, path("p.ini").c_str());
        EXPECT_EQ(out[n], '\0');
        return std::string(out, n);
    }
};

TEST_F(ProfileReaderTest, IntegerValues) {
    const struct {
        const char* value;
        uint32_t number;
    } cases[] = {
        {" 12", 12},         {"+5", 5},
        {"0x10", 16},        {"0o17", 15},
        {"0b101", 5},        {"0X10", 0},
        {"010", 10},         {"12abc", 12},
        {"abc", 0},          {"- 3", 0},
        {"\"42\"", 42},      {"' 9'", 9},
        {"-5", 0xFFFFFFFBu}, {"-0x10", 0xFFFFFFF0u},
        {"4294967301", 5},   {"99999999999999999999", 1661992959},
        {"", static_cast<uint32_t>(kDefault)},
        {"\"\"", static_cast<uint32_t>(kDefault)},
    };
    for (const auto& c : cases) EXPECT_EQ(read_int("[Base]\r\nk=" + std::string(c.value) + "\r\n"), c.number) << c.value;
}

TEST_F(ProfileReaderTest, TextValuesLoseBlanksAndOnePairOfQuotes) {
    const struct {
        std::string line;
        const char* text;
    } cases[] = {
        {" \t k \t=  a b \t", "a b"}, {"k=\"a\"b\"", "a\"b"}, {"k='abc'", "abc"},
        {"k=\" abc \"", " abc "},     {"k=\"abc", "\"abc"},   {"k='abc\"", "'abc\""},
        {"k=\"", "\""},               {"k=\"\"", ""},         {"k=", ""},
        {"k=a=b", "a=b"},             {std::string("k=ab\0cd", 7), "ab"},
    };
    for (const auto& c : cases) EXPECT_EQ(read_string("[Base]\r\n" + c.line + "\r\n"), c.text) << c.line;
}

TEST_F(ProfileReaderTest, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(platform::profile_read_int("Base", "k", kDefault, path("none.ini").c_str()), 0xFFFFFFF9u);
    char out[16];
    EXPECT_EQ(platform::profile_read_string("Base", "k", "dflt ", out, sizeof out, path("none.ini").c_str()), 4u);
    EXPECT_STREQ(out, "dflt");  // trailing spaces of a default are dropped, as on Windows

    const char* files[] = {
        "[Other]\r\nk=1\r\n",       // another section
        "k=1\r\n[Base]\r\n",        // above every section
        "[Base]\r\nkk=1\r\nk\r\n",  // another key; a line without "="
        "[Base]\r\n;k=1\r\n",       // a comment
        "[Base\r\nk=1\r\n",         // no section without its "]"
        "",
    };
    for (const char* f : files) {
        EXPECT_EQ(read_int(f), 0xFFFFFFF9u) << f;
        EXPECT_EQ(read_string(f), "default") << f;
    }
}

TEST_F(ProfileReaderTest, NamesMatchWithoutCaseAndTheFirstOccurrenceCounts) {
    const std::string text =
        "[base]\r\nK=1\r\nk=2\r\n"
        "[BASE]\r\nj=3\r\n"
        "[ Other ] comment\r\nx=4\r\n";
    EXPECT_EQ(read_int(text, "k"), 1u);
    EXPECT_EQ(read_int(text, "j"), 0xFFFFFFF9u);  // in the second section of the name
    write_file(path("p.ini"), text);
    EXPECT_EQ(platform::profile_read_int("other", "X", 0, path("p.ini").c_str()), 4u);
}

TEST_F(ProfileReaderTest, EveryLineEndEndsALine) {
    for (const char* text : {"[Base]\rk=1\r", "[Base]\nk=1\n", "[Base]\r\nk=1", "\xEF\xBB\xBF[Base]\n\rk=1"})
        EXPECT_EQ(read_int(text), 1u) << text;
    EXPECT_EQ(read_int("[Base]\rj=1\rk=2\r\rx=3"), 2u);
}

}  // namespace
}  // namespace vantrel::test
