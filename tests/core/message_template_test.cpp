// Balloon texts from templates: placeholder order, byte limits, number
// texts, and code-page-aware matching and cutting.
#include "alerts/message_template.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

class MessageTemplateTest : public CoreTest {
protected:
    std::string title_, message_;
    void compose(const std::string& titleTemplate, const std::string& messageTemplate, const char* process,
                 int32_t usage) {
        char title[kTitleBufferSize], message[kMessageBufferSize];
        compose_message(title, message, titleTemplate.c_str(), messageTemplate.c_str(), process, usage);
        title_ = title;
        message_ = message;
    }
    static std::string expand(const std::string& text, const char* token, const char* with,
                              std::size_t limit = kExpandLimit) {
        std::string buffer = text;
        buffer.resize(std::max(limit, text.size() + 1), '\0');
        EXPECT_EQ(expand_placeholder(buffer.data(), limit, token, with), 0);
        return buffer.c_str();
    }
};

TEST_F(MessageTemplateTest, PlaceholderRules) {
    compose("{u} {p}", "{u}/{u}/{u} [{p}]", nullptr, 5);
    EXPECT_EQ(title_, "{u} {p}");  // titles are never expanded
    EXPECT_EQ(message_, "5/5/5 [{p}]");  // no process name: {p} stays
    compose("t", "[{p}]", "a{u}b", 7);
    EXPECT_EQ(message_, "[a7b]");  // {p} first, so a {u} in the name becomes the number
    EXPECT_EQ(expand("x{p}y", "{p}", "{p}{p}"), "x{p}{p}y");  // replacements are not searched again
    EXPECT_EQ(expand("xxxxabcdef", "xx", "", 4), "abc");
    const std::pair<int32_t, const char*> numbers[] = {
        {0, "0"}, {100, "100"}, {101, "ERR[101]"}, {-1, "ERR[-1]"}, {INT32_MIN, "ERR[-2147483648]"}};
    for (const auto& [usage, text] : numbers) {
        compose("t", "{u}", nullptr, usage);
        EXPECT_EQ(message_, text);
    }
}

TEST_F(MessageTemplateTest, ByteLimits) {
    compose(std::string(80, 'T'), std::string(300, 'm'), nullptr, 1);
    EXPECT_EQ(title_.size(), 63u);
    EXPECT_EQ(message_.size(), 254u);
    compose("t", std::string(250, 'a') + "{p}", std::string(20, 'n').c_str(), 1);
    EXPECT_EQ(message_, std::string(250, 'a') + "nnnn");
    std::string many, expected;
    for (int i = 0; i < 80; ++i) many += "{u}", expected += "100";
    compose("t", many, nullptr, 100);
    EXPECT_EQ(message_, expected);
    char buffer[8] = "{u}";
    EXPECT_EQ(expand_placeholder(buffer, 0, "{u}", "1"), 1);
    EXPECT_EQ(expand_placeholder(buffer, kMaxExpandLimit + 1, "{u}", "1"), 1);
    EXPECT_STREQ(buffer, "{u}");
}

TEST_F(MessageTemplateTest, CodePageRules) {
    fake::system().codePage = CodePage::Cp932;
    // The katakana "bo" is 0x83 0x7B: its trail byte "{" never starts a placeholder.
    EXPECT_EQ(expand("\x83{u}{u}", "{u}", "9"), "\x83{u}9");
    EXPECT_EQ(expand("\x82\xA0\x83\x7B{u}", "{u}", "9"), "\x82\xA0\x83\x7B" "9");
    EXPECT_EQ(expand("{p}{u}", "{p}", "\x83"), "\x83{u}");  // a lead byte takes the next byte
    EXPECT_EQ(expand("aaa\x83\x40", "{u}", "", 5), "aaa\x83");  // CP932 cuts by bytes
    fake::system().codePage = CodePage::Utf8;
    const std::string a = "\xE3\x81\x82";  // "あ" in UTF-8
    compose(std::string(62, 'x') + a, std::string(253, 'a') + a, nullptr, 1);
    EXPECT_EQ(title_, std::string(62, 'x'));  // a UTF-8 cut never splits a character
    EXPECT_EQ(message_, std::string(253, 'a'));
}

}  // namespace
}  // namespace vantrel::test
