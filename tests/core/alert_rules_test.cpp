// The alert rules: the per-process warning of a batch, the tooltip, and the
// overall warning and notice with their streaks.
#include <cstdint>
#include <string>
#include <vector>

#include "alerts/alert_rules.h"
#include "monitor/process_table.h"
#include "settings/settings_table.h"
#include "text/code_page.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

struct Balloon {
    std::string title;
    std::string text;
    uint32_t kind;
    bool operator==(const Balloon&) const = default;
};

class AlertRulesTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        processTable.slots[kTotalSlot].usage = 0;
    }
    // Evaluates one cycle with the total; returns the balloons shown.
    std::vector<Balloon> evaluate(int32_t total, uint32_t sweepSize = 1, uint32_t batch = 0) {
        processTable.slots[kTotalSlot].usage = total;
        clear_icon_requests();
        evaluate_alerts(processTable, sweepSize, batch);
        std::vector<Balloon> balloons;
        for (const auto& r : icon_requests()) {
            if (r.request == platform::NIM_MODIFY && r.record.uFlags == platform::NIF_INFO)
                balloons.push_back({r.record.szInfoTitle, r.record.szInfo, r.record.dwInfoFlags});
        }
        return balloons;
    }
    std::string last_tooltip() const {
        std::string tip = "(none)";
        for (const auto& r : icon_requests())
            if (r.record.uFlags == platform::NIF_TIP) tip = r.record.szTip;
        return tip;
    }
    static Balloon warning(int u) {
        return {"CPU使用率 の警告！", "CPU使用率が " + std::to_string(u) + "% に達しました", 2};
    }
    static Balloon notice(int u) {
        return {"CPU使用率 のお知らせ", "CPU使用率は " + std::to_string(u) + "% です", 1};
    }
};

TEST_F(AlertRulesTest, DefaultsGiveNoticeWarningWarningNoticeNothing) {
    EXPECT_EQ(evaluate(85), std::vector<Balloon>{notice(85)});
    EXPECT_EQ(last_tooltip(), "Vantrel [ 85% ]");
    EXPECT_EQ(evaluate(96), std::vector<Balloon>{warning(96)});
    EXPECT_EQ(evaluate(97), std::vector<Balloon>{warning(97)});
    EXPECT_EQ(evaluate(90), std::vector<Balloon>{notice(90)});
    EXPECT_TRUE(evaluate(70).empty());
    EXPECT_EQ(last_tooltip(), "Vantrel [ 70% ]");
}

TEST_F(AlertRulesTest, CountsWaitForConsecutiveDetections) {
    settings.allcount.set(2);
    const int totals[] = {96, 96, 50, 96, 96, 96};
    std::vector<std::vector<Balloon>> shown;
    for (int t : totals) shown.push_back(evaluate(t));
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(shown[i].empty()) << i;
    EXPECT_EQ(shown[5], std::vector<Balloon>{warning(96)});
    // The streak is not reset by its balloon: every further cycle repeats it.
    EXPECT_EQ(evaluate(99), std::vector<Balloon>{warning(99)});

    settings.allcount.set(-1);  // a count list left without a selection
    warnStreak = 0;
    EXPECT_EQ(evaluate(95), std::vector<Balloon>{warning(95)});
}

TEST_F(AlertRulesTest, TotalWithoutReadingChangesNothingButProcessWarningStillShows) {
    evaluate(96);
    evaluate(85);
    const int32_t warnBefore = warnStreak;
    const int32_t noticeBefore = noticeStreak;
    processTable.slots[3].usage = 90;
    copy_bytes(processTable.slots[3].name, sizeof processTable.slots[3].name, "busy.exe");
    for (int32_t total : {-1, 101, INT32_MIN}) {
        const auto balloons = evaluate(total, 5, 0);
        ASSERT_EQ(balloons.size(), 1u);
        EXPECT_EQ(balloons[0].text, "プロセス[busy.exe]がCPUを 90% 使っています");
        EXPECT_EQ(last_tooltip(), "(none)");
        EXPECT_EQ(warnStreak, warnBefore);
        EXPECT_EQ(noticeStreak, noticeBefore);
    }
}

TEST_F(AlertRulesTest, ProcessWarningForTheLowestSlotOfTheBatchOnly) {
    auto put = [](uint32_t s, const char* name, int32_t usage) {
        copy_bytes(processTable.slots[s].name, sizeof processTable.slots[s].name, name);
        processTable.slots[s].usage = usage;
    };
    put(33, "a.exe", 79);
    put(40, "b.exe", 80);
    put(41, "c.exe", 100);
    put(70, "d.exe", 99);  // in the next batch
    auto balloons = evaluate(10, 70, 1);
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons[0].text, "プロセス[b.exe]がCPUを 80% 使っています");
    EXPECT_EQ(balloons[0].kind, platform::NIIF_WARNING);

    // The sweep ends at slot 69 here: slot 70 lies outside every batch.
    put(40, "b.exe", 0);
    put(41, "c.exe", 0);
    EXPECT_TRUE(evaluate(10, 69, 2).empty());

    // A process reading above 100 is shown as an error, a failed one never.
    put(40, "b.exe", 137);
    EXPECT_EQ(evaluate(10, 70, 1)[0].text, "プロセス[b.exe]がCPUを ERR[137]% 使っています");
    put(40, "b.exe", -1);
    EXPECT_TRUE(evaluate(10, 70, 1).empty());
}

TEST_F(AlertRulesTest, ZeroProcessThresholdWarnsForTheFirstSlotEvenIfEmpty) {
    settings.eachusage.set(0);
    const auto balloons = evaluate(10, 5, 0);
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons[0].text, "プロセス[]がCPUを 0% 使っています");
}

TEST_F(AlertRulesTest, ProcessAndOverallWarningsInOneCycleInThatOrder) {
    copy_bytes(processTable.slots[1].name, sizeof processTable.slots[1].name, "x.exe");
    processTable.slots[1].usage = 99;
    const auto balloons = evaluate(97, 1, 0);
    ASSERT_EQ(balloons.size(), 2u);
    EXPECT_EQ(balloons[0].text, "プロセス[x.exe]がCPUを 99% 使っています");
    EXPECT_EQ(balloons[1], warning(97));
}

TEST_F(AlertRulesTest, SwitchesAndStreakInterplay) {
    settings.allinfocnt.set(1);
    evaluate(85);                      // notice streak 1: nothing yet
    EXPECT_TRUE(evaluate(97).size() == 1);  // the warning branch: the notice streak holds
    EXPECT_EQ(noticeStreak, 1);
    EXPECT_EQ(evaluate(85), std::vector<Balloon>{notice(85)});  // continues at 2

    // Warning switched off: its streak stays at 0 and the notice rule runs.
    settings.allenable.set(0);
    warnStreak = 0;
    EXPECT_EQ(evaluate(97), std::vector<Balloon>{notice(97)});
    EXPECT_EQ(warnStreak, 0);

    // Both off: nothing, but streaks still reset below their thresholds.
    settings.allinfoenable.set(0);
    EXPECT_TRUE(evaluate(97).empty());
    noticeStreak = 5;
    warnStreak = 5;
    evaluate(50);
    EXPECT_EQ(noticeStreak, 0);
    EXPECT_EQ(warnStreak, 0);
}

TEST_F(AlertRulesTest, StreakSaturatesInsteadOfOverflowing) {
    warnStreak = INT32_MAX;
    evaluate(99);
    EXPECT_EQ(warnStreak, INT32_MAX);
}

}  // namespace
}  // namespace vantrel::test
