// The Linux profile (INI) file with hostile contents, read and written quickly with a defined result.
#include <string>

#include "tests/platform/profile_fixture.h"

namespace vantrel::test {
namespace {

// Each file is read, then k=v is written into it: only the end changes.
TEST_F(ProfileTest, HostileFilesAreReadAndWrittenQuickly) {
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

}  // namespace
}  // namespace vantrel::test
