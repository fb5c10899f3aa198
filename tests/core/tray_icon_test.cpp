// The tray icon service: the requests it sends for each operation and the
// life of the temporary icon.
#include <cstring>
#include <string>

#include "alerts/tray_icon.h"
#include "settings/settings_table.h"
#include "shell/app_ids.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

using platform::IconRecord;

class TrayIconTest : public CoreTest {
protected:
    static void add() { add_icon(appInstance, mainWindow, kIconResource, kProductName); }
};

TEST_F(TrayIconTest, AddFillsTheRecordAndSendsIt) {
    add();
    ASSERT_EQ(icon_requests().size(), 1u);
    const IconRecord& r = icon_requests()[0].record;
    EXPECT_EQ(icon_requests()[0].request, platform::NIM_ADD);
    EXPECT_EQ(r.cbSize, 488u);
    EXPECT_EQ(r.hWnd, mainWindow);
    EXPECT_EQ(r.uID, 1u);
    EXPECT_EQ(r.uFlags, 7u);
    EXPECT_EQ(r.uCallbackMessage, 0x464u);
    EXPECT_STREQ(r.szTip, "Vantrel");
    EXPECT_EQ(r.dwInfoFlags, 0u);
    EXPECT_STREQ(r.szInfo, "");
    EXPECT_TRUE(icon_shown());
}

TEST_F(TrayIconTest, ModifyRequestsNameOnlyWhatTheyChange) {
    add();
    set_tooltip(std::string(70, 't').c_str());
    show_balloon(std::string(63, 'T').c_str(), std::string(255, 'M').c_str(), platform::NIIF_INFO);
    ASSERT_EQ(icon_requests().size(), 3u);

    const IconRecord& tip = icon_requests()[1].record;
    EXPECT_EQ(icon_requests()[1].request, platform::NIM_MODIFY);
    EXPECT_EQ(tip.uFlags, platform::NIF_TIP);
    EXPECT_EQ(std::string(tip.szTip), std::string(63, 't'));

    const IconRecord& balloon = icon_requests()[2].record;
    EXPECT_EQ(balloon.uFlags, platform::NIF_INFO);
    EXPECT_EQ(std::string(balloon.szInfoTitle), std::string(63, 'T'));
    EXPECT_EQ(std::string(balloon.szInfo), std::string(255, 'M'));
    EXPECT_EQ(balloon.dwInfoFlags, 1u);
    EXPECT_EQ(balloon.uTimeout, 0u);
    EXPECT_STREQ(balloon.szTip, "Vantrel");  // the record keeps the tooltip of the add

    // Modifies never change the record itself.
    EXPECT_STREQ(iconRecord.szTip, "Vantrel");
    EXPECT_STREQ(iconRecord.szInfo, "");
    EXPECT_EQ(iconRecord.uFlags, 7u);
}

TEST_F(TrayIconTest, RemoveSendsOnlyWhenShown) {
    remove_icon();
    EXPECT_TRUE(icon_requests().empty());
    add();
    remove_icon();
    remove_icon();
    ASSERT_EQ(icon_requests().size(), 2u);
    EXPECT_EQ(icon_requests()[1].request, platform::NIM_DELETE);
    EXPECT_FALSE(icon_shown());
}

TEST_F(TrayIconTest, PermanentIconIsNeverAddedByABalloon) {
    // After Exit removed the permanent icon, a balloon brings nothing back.
    add();
    remove_icon();
    clear_icon_requests();
    show_balloon("t", "m", platform::NIIF_WARNING);
    ASSERT_EQ(icon_requests().size(), 1u);
    EXPECT_EQ(icon_requests()[0].request, platform::NIM_MODIFY);
    EXPECT_FALSE(icon_shown());
    EXPECT_TRUE(fake::ui().armedTimers.empty());
}

TEST_F(TrayIconTest, TemporaryIconLivesTenSecondsFromItsAdd) {
    settings.disptrayicon.set(0);
    fake::ui().windowAlive = true;
    show_balloon("t", "first", platform::NIIF_WARNING);
    ASSERT_EQ(icon_requests().size(), 2u);
    EXPECT_EQ(icon_requests()[0].request, platform::NIM_ADD);
    EXPECT_STREQ(icon_requests()[0].record.szTip, "Vantrel");
    EXPECT_EQ(icon_requests()[1].record.hWnd, mainWindow);  // names the icon just added
    EXPECT_EQ(fake::ui().timerLog, (std::vector<std::pair<uintptr_t, uint32_t>>{{BalloonIconTimer, 10000}}));

    // A second balloon 8 s later goes onto the same icon and re-arms nothing.
    show_balloon("t", "second", platform::NIIF_WARNING);
    EXPECT_EQ(icon_requests().size(), 3u);
    EXPECT_EQ(fake::ui().timerLog.size(), 1u);

    // The expiry removes the icon; the next balloon adds it again.
    remove_icon();
    EXPECT_EQ(icon_requests().back().request, platform::NIM_DELETE);
    show_balloon("t", "third", platform::NIIF_INFO);
    EXPECT_EQ(icon_requests()[4].request, platform::NIM_ADD);
    EXPECT_EQ(fake::ui().timerLog.size(), 2u);
}

}  // namespace
}  // namespace vantrel::test
