// Balloon texts from templates: placeholder order, byte limits, number texts,
// and cuts: UTF-8 never splits a character, code page 932 cuts by bytes. How
// expand_placeholder matches in either code page is checked against a plain
// expansion by tests/fuzz/expand_placeholder_fuzz.cpp, whose seeds replay
// those cases (its expansion cuts as the program does, so not the cuts).
#include "alerts/message_template.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

using MessageTemplateTest = CoreTest;

TEST_F(MessageTemplateTest, TitleAndMessageFromTheirTemplates) {
    const std::string a = "\xE3\x81\x82";  // "あ" in UTF-8
    std::string many, hundreds;
    for (int i = 0; i < 80; ++i) many += "{u}", hundreds += "100";
    const struct { std::string title, message; const char* process; int32_t usage;
                   std::string wantTitle, wantMessage; } cases[] = {
        {"{u} {p}", "{u}/{u}/{u} [{p}]", nullptr, 5, "{u} {p}", "5/5/5 [{p}]"},  // titles as they are; {p} stays
        {"t", "[{p}]", "a{u}b", 7, "t", "[a7b]"},  // {p} first: a {u} in the name becomes the number
        {"t", "{u}", nullptr, 0, "t", "0"},
        {"t", "{u}", nullptr, 100, "t", "100"},
        {"t", "{u}", nullptr, 101, "t", "ERR[101]"},
        {"t", "{u}", nullptr, -1, "t", "ERR[-1]"},
        {"t", "{u}", nullptr, INT32_MIN, "t", "ERR[-2147483648]"},
        {std::string(80, 'T'), std::string(300, 'm'), nullptr, 1, std::string(63, 'T'), std::string(254, 'm')},
        {"t", std::string(250, 'a') + "{p}", "nnnnnnnnnnnnnnnnnnnn", 1, "t", std::string(250, 'a') + "nnnn"},
        {"t", many, nullptr, 100, "t", hundreds},
        {std::string(62, 'x') + a, std::string(253, 'a') + a, nullptr, 1, std::string(62, 'x'), std::string(253, 'a')},
    };
    fake::system().codePage = CodePage::Utf8;
    for (const auto& c : cases) {
        char title[kTitleBufferSize], message[kMessageBufferSize];
        compose_message(title, message, c.title.c_str(), c.message.c_str(), c.process, c.usage);
        EXPECT_EQ(title, c.wantTitle) << c.message;
        EXPECT_EQ(message, c.wantMessage) << c.message;
    }
    fake::system().codePage = CodePage::Cp932;
    char title[kTitleBufferSize], message[kMessageBufferSize];
    compose_message(title, message, "t", (std::string(253, 'a') + "\x83\x40").c_str(), nullptr, 1);
    EXPECT_EQ(message, std::string(253, 'a') + "\x83");
    // Limits outside 1 to kMaxExpandLimit change nothing.
    char buffer[8] = "{u}";
    EXPECT_EQ(expand_placeholder(buffer, 0, "{u}", "1"), 1);
    EXPECT_EQ(expand_placeholder(buffer, kMaxExpandLimit + 1, "{u}", "1"), 1);
    EXPECT_STREQ(buffer, "{u}");
}

}  // namespace
}  // namespace vantrel::test
