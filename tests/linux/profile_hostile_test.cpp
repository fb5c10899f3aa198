// Hostile profile files: huge, binary, without line ends, with a million
// keys. Reads and writes finish quickly with a defined result; the sanitizer
// build checks that no buffer is overrun.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

class ProfileHostileTest : public CoreTest {
protected:
    std::string ini() const { return path("p.ini"); }
    std::string read(const char* key = "k") {
        char out[256];
        std::memset(out, '#', sizeof out);
        const std::size_t n = platform::profile_read_string("Base", key, "dflt", out, sizeof out, ini().c_str());
        EXPECT_LT(n, sizeof out);
        return std::string(out, n);
    }
    bool write(const char* value, const char* key = "k") {
        return platform::profile_write_string("Base", key, value, ini().c_str());
    }
    // Whether the file holds exactly text followed by added; big files are
    // compared at their size and their end only, which is where a write
    // changes them.
    bool holds(const std::string& text, const std::string& added) {
        std::ifstream in(ini(), std::ios::binary | std::ios::ate);
        const auto size = static_cast<std::size_t>(in.tellg());
        std::string end(std::min<std::size_t>(size, added.size() + 64), '\0');
        in.seekg(static_cast<std::streamoff>(size - end.size()));
        in.read(end.data(), static_cast<std::streamsize>(end.size()));
        const std::string expectedEnd =
            text.substr(text.size() - std::min(text.size(), end.size())) + added;
        return size == text.size() + added.size() && expectedEnd.ends_with(end);
    }
};

TEST_F(ProfileHostileTest, FiftyMegabytesOfLinesBeforeTheSection) {
    std::string text;
    const std::string junk = std::string(999, 'x') + "\n";
    while (text.size() < 50'000'000) text += junk;
    write_file(ini(), text + "[Base]\nk=found\n");
    EXPECT_EQ(read(), "found");
    EXPECT_TRUE(write("new"));
    EXPECT_TRUE(holds(text, "[Base]\nk=new\n"));
}

TEST_F(ProfileHostileTest, MillionKeys) {
    std::string text = "[Base]\n";
    for (int i = 0; i < 1'000'000; ++i) text += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    write_file(ini(), text);
    EXPECT_EQ(read("KEY999999"), "999999");
    EXPECT_EQ(read(), "dflt");
    EXPECT_TRUE(write("v"));
    EXPECT_TRUE(holds(text, "k=v\r\n"));
}

TEST_F(ProfileHostileTest, BinaryAndUnendedContent) {
    const struct {
        std::string text;
        const char* added;  // after the text, by a write of k=v
    } cases[] = {
        {std::string(1'000'000, '\0'), "\r\n\r\n[Base]\r\nk=v\r\n"},
        {std::string(10'000'000, 'a'), "\r\n\r\n[Base]\r\nk=v\r\n"},
        {std::string(1'000'000, '\r'), "[Base]\r\nk=v\r\n"},
        {std::string(100'000, '['), "\r\n\r\n[Base]\r\nk=v\r\n"},
        {"[Base]" + std::string(100'000, '='), "\r\nk=v\r\n"},
    };
    for (const auto& c : cases) {
        write_file(ini(), c.text);
        EXPECT_EQ(read(), "dflt");
        EXPECT_TRUE(write("v"));
        EXPECT_TRUE(holds(c.text, c.added));
        EXPECT_EQ(read(), "v");
    }
}

TEST_F(ProfileHostileTest, LongValuesAreCutToTheBufferOnACharacterBoundary) {
    std::string japanese = "b";
    for (int i = 0; i < 100; ++i) japanese += "あ";  // 3 bytes each: byte 255 is inside one
    write_file(ini(), "[Base]\rk=" + std::string(100'000, 'v') + "\rj=" + std::string(100'000, '\xff') +
                          "\rq=\"" + japanese + "\"\rc=\xe3\x81\x82\x80\x80\x80");
    EXPECT_EQ(read(), std::string(255, 'v'));
    EXPECT_EQ(read("j"), std::string(255, '\xff'));  // invalid UTF-8 is cut by bytes
    EXPECT_EQ(read("q"), japanese.substr(0, 253));
    EXPECT_EQ(read("c"), "\xe3\x81\x82\x80\x80\x80");
    char small[4];
    EXPECT_EQ(platform::profile_read_string("Base", "q", "", small, sizeof small, ini().c_str()), 1u);
    EXPECT_STREQ(small, "b");
    EXPECT_TRUE(write("short", "j"));
    EXPECT_EQ(read("j"), "short");
    EXPECT_EQ(read(), std::string(255, 'v'));
}

TEST_F(ProfileHostileTest, FileAbove64MiBIsNeitherReadNorWritten) {
    write_file(ini(), "[Base]\nk=1\n");
    ASSERT_EQ(::truncate(ini().c_str(), (64 << 20) + 1), 0);  // sparse: quick to make
    EXPECT_EQ(read(), "dflt");
    EXPECT_FALSE(write("v"));
    struct stat st {};
    ::stat(ini().c_str(), &st);
    EXPECT_EQ(st.st_size, (64 << 20) + 1);
}

}  // namespace
}  // namespace vantrel::test
