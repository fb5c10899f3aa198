// The alerts: balloon texts from their templates, the tray icon service with
// the requests it sends for each operation, and the alert rules that drive
// it: the per-process warning of a batch, the tooltip, and the overall
// warning and notice with their streaks. The temporary icon's life:
// shell_test.cpp and threaded/shared_state_test.cpp.
#include "alerts/message_template.h"
#include "resources/resource_ids.h"
#include "tests/core/core_fixture.h"
#include "text/code_page.h"

namespace vantrel::test {
namespace {

using TrayIconTest = CoreTest;
using MessageTemplateTest = CoreTest;
using platform::kIconAdd, platform::kIconModify, platform::kIconDelete;

const platform::IconRecord& record(std::size_t i) { return fake::ui().iconRequests.at(i).record; }

// Placeholder order, byte limits, number texts, and cuts: UTF-8 never splits
// a character, code page 932 cuts by bytes. How expand_placeholder matches in
// either code page is checked against a plain expansion by
// tests/fuzz/expand_placeholder_fuzz.cpp, whose seeds replay those cases (its
// expansion cuts as the program does, so not the cuts).
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

TEST_F(TrayIconTest, EachOperationSendsItsRequest) {
    remove_icon();  // nothing shown, nothing sent
    add_icon(appInstance, mainWindow, kIconResource, kProductName);
    set_tooltip(std::string(70, 't').c_str());
    show_balloon(std::string(63, 'T').c_str(), std::string(255, 'M').c_str(), platform::kBalloonInfo);
    remove_icon();
    show_balloon("t", "m", platform::kBalloonWarning);  // after Exit removed the permanent icon: nothing comes back
    EXPECT_EQ(request_kinds(), (Kinds{kIconAdd, kIconModify, kIconModify, kIconDelete, kIconModify}));
    EXPECT_FALSE(icon_shown());
    EXPECT_EQ(record(1).uFlags, platform::kIconFlagTip);  // a modify names only what it changes
    EXPECT_EQ(std::string(record(1).szTip), std::string(63, 't'));
    EXPECT_EQ(record(2).uFlags, platform::kIconFlagInfo);
    EXPECT_EQ(std::string(record(2).szInfoTitle) + record(2).szInfo, std::string(63, 'T') + std::string(255, 'M'));
    EXPECT_STREQ(record(2).szTip, "Vantrel");  // modifies never change the record
}

class AlertRulesTest : public CoreTest {
protected:
    // Evaluates a cycle with the total; "W:text" or "N:text" per balloon.
    static std::vector<std::string> evaluate(int32_t total, uint32_t sweepSize = 1, uint32_t batch = 0) {
        processTable.slots[kTotalSlot].usage = total;
        clear_icon_requests();
        evaluate_alerts(processTable, sweepSize, batch);
        std::vector<std::string> balloons;
        for (const auto& r : icon_requests())
            if (r.record.uFlags == platform::kIconFlagInfo)
                balloons.push_back((r.record.dwInfoFlags == platform::kBalloonWarning ? "W:" : "N:") +
                                   std::string(r.record.szInfo));
        return balloons;
    }
    // The level that the icon was last given.
    static uint32_t level() { return fake::ui().loads.back().second; }
    static std::string tooltip() {
        for (const auto& r : icon_requests())
            if (r.record.uFlags == platform::kIconFlagTip) return r.record.szTip;
        return "(none)";
    }
    static void put(uint32_t s, const char* name, int32_t usage) {
        copy_bytes(processTable.slots[s].name, sizeof processTable.slots[s].name, name);
        processTable.slots[s].usage = usage;
    }
    static std::string warning(int u) { return "W:CPU使用率が " + std::to_string(u) + "% に達しました"; }
    static std::string notice(int u) { return "N:CPU使用率は " + std::to_string(u) + "% です"; }
    static std::string process(const std::string& name, const std::string& u) {
        return "W:プロセス[" + name + "]がCPUを " + u + "% 使っています";
    }
};

TEST_F(AlertRulesTest, OverallRulesWithTheirStreaks) {
    using V = std::vector<std::string>;
    EXPECT_EQ(evaluate(85), V{notice(85)});
    EXPECT_EQ(tooltip(), "Vantrel [ 85% ]");
    EXPECT_EQ(fake::ui().loads.back(), std::make_pair(85, platform::kLoadNotice));
    EXPECT_EQ(evaluate(96), V{warning(96)});
    EXPECT_EQ(level(), platform::kLoadWarning);
    EXPECT_EQ(evaluate(90), V{notice(90)});
    EXPECT_EQ(evaluate(70), V{});
    EXPECT_EQ(level(), platform::kLoadNormal);

    settings.allcount.set(2);
    for (int t : {95, 95, 50, 95, 95}) EXPECT_EQ(evaluate(t), V{}) << t;  // a total at the threshold counts
    EXPECT_EQ(evaluate(95), V{warning(95)});
    EXPECT_EQ(evaluate(99), V{warning(99)});  // the streak is not reset by its balloon
    settings.allcount.set(-1);                // a count list left without a selection
    warnStreak = 0;
    EXPECT_EQ(evaluate(95), V{warning(95)});

    // While the warning branch runs, the notice streak holds its value.
    settings.allinfocnt.set(1);
    noticeStreak = 0;
    evaluate(80);
    evaluate(97);
    EXPECT_EQ(evaluate(80), V{notice(80)});
    // Warning switched off: its streak stays 0 and the notice rule runs instead.
    settings.allenable.set(0);
    warnStreak = 0;
    EXPECT_EQ(evaluate(97), V{notice(97)});
    EXPECT_EQ(level(), platform::kLoadNotice);  // the icon shows the rule that runs
    EXPECT_EQ(warnStreak, 0);
    settings.allinfoenable.set(0);
    noticeStreak = warnStreak = 5;
    EXPECT_EQ(evaluate(50), V{});
    EXPECT_EQ(noticeStreak + warnStreak, 0);  // resets run whatever the switches
    evaluate(99);
    EXPECT_EQ(level(), platform::kLoadNormal);

    settings.allenable.set(1);
    warnStreak = INT32_MAX;
    evaluate(99);
    EXPECT_EQ(warnStreak, INT32_MAX);  // saturates rather than overflowing
}

TEST_F(AlertRulesTest, ProcessWarningForTheLowestSlotOfTheBatchOnlyAndATotalWithoutReadingChangesNothingElse) {
    put(33, "a.exe", 79);
    put(40, "b.exe", 80);
    put(41, "c.exe", 100);
    put(70, "d.exe", 99);  // the next batch
    EXPECT_EQ(evaluate(10, 70, 1), std::vector<std::string>{process("b.exe", "80")});
    put(40, "b.exe", 137);
    EXPECT_EQ(evaluate(10, 70, 1), std::vector<std::string>{process("b.exe", "ERR[137]")});
    put(40, "b.exe", -1);  // a failed counter never warns
    EXPECT_EQ(evaluate(10, 70, 1), std::vector<std::string>{process("c.exe", "100")});
    put(41, "c.exe", 0);
    EXPECT_TRUE(evaluate(10, 69, 2).empty());  // slot 70 lies beyond the sweep
    // Threshold 0: the first slot warns even when empty; then the overall warning.
    settings.eachusage.set(0);
    EXPECT_EQ(evaluate(97, 5, 0), (std::vector<std::string>{process("", "0"), warning(97)}));
    for (int32_t total : {-1, 101}) {
        EXPECT_EQ(evaluate(total, 5), std::vector<std::string>{process("", "0")});
        EXPECT_EQ(tooltip(), "(none)");
        EXPECT_EQ(fake::ui().loads.back(), std::make_pair(total, platform::kLoadNormal));  // the plain icon
        EXPECT_EQ(warnStreak, 1);
    }
}

}  // namespace
}  // namespace vantrel::test
