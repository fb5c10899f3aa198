// Code-page rules for cutting texts and finding tokens.
#include <string>

#include "tests/core/core_fixture.h"
#include "text/code_page.h"

namespace vantrel::test {
namespace {

TEST(CodePageTest, Cp932LeadByteRanges) {
    for (int b = 0; b < 256; ++b) {
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(is_lead_byte(CodePage::Cp932, static_cast<unsigned char>(b)), lead) << b;
        EXPECT_FALSE(is_lead_byte(CodePage::Utf8, static_cast<unsigned char>(b)));
    }
}

TEST(CodePageTest, Utf8CutsFallOnCharacterBoundaries) {
    const std::string text = "aé" "あ" "😀";  // 1 + 2 + 3 + 4 bytes
    const std::size_t expected[] = {0, 1, 1, 3, 3, 3, 6, 6, 6, 6, 10, 10};
    for (std::size_t max = 0; max <= 11; ++max) EXPECT_EQ(cut_length(CodePage::Utf8, text, max), expected[max]) << max;
    // Invalid UTF-8 (a run of continuation bytes) is cut by bytes, never below 0.
    EXPECT_EQ(cut_length(CodePage::Utf8, "\x80\x80\x80", 2), 0u);
    EXPECT_EQ(cut_length(CodePage::Cp932, "\x83\x7B\x83\x7B", 3), 3u);
}

TEST(CodePageTest, CopiesAreTerminatedWithinTheirCapacity) {
    char out[4];
    EXPECT_EQ(copy_cut(CodePage::Utf8, out, sizeof out, "abあ"), 2u);
    EXPECT_STREQ(out, "ab");
    EXPECT_EQ(copy_bytes(out, sizeof out, "abcdef"), 3u);
    EXPECT_STREQ(out, "abc");
    EXPECT_EQ(copy_bytes(out, 1, "abc"), 0u);
    EXPECT_STREQ(out, "");
}

TEST(CodePageTest, Cp932TokenSearchSkipsTrailBytes) {
    const std::string text = "\x83{u}\x82{u}{u}";
    EXPECT_EQ(find_token(CodePage::Cp932, text, "{u}", 0), 8u);
    EXPECT_EQ(find_token(CodePage::Utf8, text, "{u}", 0), 1u);
    EXPECT_EQ(find_token(CodePage::Cp932, text, "{u}", 9), std::string::npos);
    EXPECT_EQ(next_boundary(CodePage::Cp932, text, 0, 1), 2u);
    EXPECT_EQ(find_token(CodePage::Cp932, "ab", "", 0), std::string::npos);
}

}  // namespace
}  // namespace vantrel::test
