// Balloon texts from templates: placeholder order, byte limits, number
// texts, and code-page-aware matching and cutting.
#include <string>

#include "alerts/message_template.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

class MessageTemplateTest : public CoreTest {
protected:
    std::string title_;
    std::string message_;
    void compose(const std::string& titleTemplate, const std::string& messageTemplate,
                 const char* process, int32_t usage) {
        char title[kTitleBufferSize];
        char message[kMessageBufferSize];
        compose_message(title, message, titleTemplate.c_str(), messageTemplate.c_str(), process, usage);
        title_ = title;
        message_ = message;
    }
    static std::string expand(std::string text, const char* token, const char* replacement,
                              std::size_t limit = kExpandLimit) {
        std::string buffer = text;
        buffer.resize(std::max(limit, text.size() + 1), '\0');
        EXPECT_EQ(expand_placeholder(buffer.data(), limit, token, replacement), 0);
        return buffer.c_str();
    }
};

TEST_F(MessageTemplateTest, DefaultTextsAreExpanded) {
    compose("CPU使用率 の警告！", "プロセス[{p}]がCPUを {u}% 使っています", "svchost.exe", 85);
    EXPECT_EQ(title_, "CPU使用率 の警告！");
    EXPECT_EQ(message_, "プロセス[svchost.exe]がCPUを 85% 使っています");
    compose("t", "CPU使用率が {u}% に達しました", nullptr, 97);
    EXPECT_EQ(message_, "CPU使用率が 97% に達しました");
}

TEST_F(MessageTemplateTest, PlaceholderRules) {
    compose("{u} {p}", "{u}/{u}/{u}", nullptr, 5);
    EXPECT_EQ(title_, "{u} {p}");  // titles are never expanded
    EXPECT_EQ(message_, "5/5/5");
    compose("t", "[{p}] {u}", nullptr, 5);
    EXPECT_EQ(message_, "[{p}] 5");  // no process name: {p} stays
    compose("t", "[{p}]", "a{u}b", 7);
    EXPECT_EQ(message_, "[a7b]");  // {p} first, so a {u} inside the name becomes the number
    EXPECT_EQ(expand("x{p}y", "{p}", "{p}{p}"), "x{p}{p}y");  // a replacement is not searched again
    EXPECT_EQ(expand("{u}", "", "zz"), "{u}");
    EXPECT_EQ(expand("{u}{u}", "{u}", ""), "");
}

TEST_F(MessageTemplateTest, UsageOutsideZeroToHundredIsAnError) {
    const std::pair<int32_t, const char*> cases[] = {
        {0, "0"}, {100, "100"}, {101, "ERR[101]"}, {250, "ERR[250]"}, {-1, "ERR[-1]"},
        {INT32_MIN, "ERR[-2147483648]"},
    };
    for (const auto& [usage, text] : cases) {
        compose("t", "{u}", nullptr, usage);
        EXPECT_EQ(message_, text);
    }
}

TEST_F(MessageTemplateTest, ByteLimits) {
    compose(std::string(80, 'T'), std::string(300, 'm'), nullptr, 1);
    EXPECT_EQ(title_.size(), 63u);
    EXPECT_EQ(message_.size(), 254u);

    // An expansion that grows past the limit is cut at byte 254.
    compose("t", std::string(250, 'a') + "{p}", std::string(20, 'n').c_str(), 1);
    EXPECT_EQ(message_, std::string(250, 'a') + "nnnn");
    compose("t", std::string(200, '{') + "{u}{u}{u}", nullptr, 100);
    EXPECT_EQ(message_.size(), 209u);

    // Every occurrence is found even when the expansion is enormous.
    std::string many;
    for (int i = 0; i < 80; ++i) many += "{u}";
    compose("t", many, nullptr, 100);
    EXPECT_EQ(message_.size(), 240u);
    EXPECT_EQ(message_.find("{u}"), std::string::npos);
}

TEST_F(MessageTemplateTest, LimitOutOfRangeLeavesTheTextAlone) {
    char buffer[8] = "{u}";
    EXPECT_EQ(expand_placeholder(buffer, 0, "{u}", "1"), 1);
    EXPECT_EQ(expand_placeholder(buffer, kMaxExpandLimit + 1, "{u}", "1"), 1);
    EXPECT_STREQ(buffer, "{u}");
    EXPECT_EQ(expand_placeholder(buffer, 1, "{u}", "1"), 0);
    EXPECT_STREQ(buffer, "");
}

TEST_F(MessageTemplateTest, Cp932TrailByteNeverStartsAPlaceholder) {
    fake::system().codePage = CodePage::Cp932;
    // The katakana "bo" is 0x83 0x7B: its trail byte is "{".
    EXPECT_EQ(expand("\x83{u}", "{u}", "9"), "\x83{u}");
    EXPECT_EQ(expand("\x83{u}{u}", "{u}", "9"), "\x83{u}9");
    // Two-byte characters before the placeholder keep the walk in step.
    EXPECT_EQ(expand("\x82\xA0\x83\x7B{u}", "{u}", "9"), "\x82\xA0\x83\x7B" "9");
    // A replacement ending in a lead byte takes the next byte as its trail.
    EXPECT_EQ(expand("{p}{u}", "{p}", "\x83"), "\x83{u}");
    // The cut is by bytes and may split a character, as on Windows.
    EXPECT_EQ(expand(std::string(3, 'a') + "\x83\x40", "{u}", "", 5), "aaa\x83");
}

TEST_F(MessageTemplateTest, Utf8CutNeverSplitsACharacter) {
    fake::system().codePage = CodePage::Utf8;
    // 253 ASCII bytes and a three-byte character: the character does not fit.
    compose("t", std::string(253, 'a') + "あ", nullptr, 1);
    EXPECT_EQ(message_, std::string(253, 'a'));
    compose(std::string(62, 'x') + "あ", "m", nullptr, 1);
    EXPECT_EQ(title_, std::string(62, 'x'));
}

}  // namespace
}  // namespace vantrel::test
