// The tray icon service: the requests it sends for each operation and the
// life of the temporary icon.
#include "alerts/tray_icon.h"
#include "resources/resource_ids.h"
#include "settings/settings_table.h"
#include "shell/app_ids.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

using TrayIconTest = CoreTest;
using Kinds = std::vector<uint32_t>;
using platform::kIconAdd, platform::kIconModify, platform::kIconDelete;

const platform::IconRecord& record(std::size_t i) { return fake::ui().iconRequests.at(i).record; }

TEST_F(TrayIconTest, EachOperationSendsItsRequest) {
    remove_icon();  // nothing shown, nothing sent
    add_icon(appInstance, mainWindow, kIconResource, kProductName);
    set_tooltip(std::string(70, 't').c_str());
    show_balloon(std::string(63, 'T').c_str(), std::string(255, 'M').c_str(), platform::kBalloonInfo);
    remove_icon();
    show_balloon("t", "m", platform::kBalloonWarning);  // after Exit removed the permanent icon: nothing comes back
    EXPECT_EQ(request_kinds(), (Kinds{kIconAdd, kIconModify, kIconModify, kIconDelete, kIconModify}));
    EXPECT_FALSE(icon_shown());
    EXPECT_STREQ(record(0).szTip, "Vantrel");
    EXPECT_EQ(record(1).uFlags, platform::kIconFlagTip);  // a modify names only what it changes
    EXPECT_EQ(std::string(record(1).szTip), std::string(63, 't'));
    EXPECT_EQ(record(2).uFlags, platform::kIconFlagInfo);
    EXPECT_EQ(std::string(record(2).szInfoTitle) + record(2).szInfo, std::string(63, 'T') + std::string(255, 'M'));
    EXPECT_STREQ(record(2).szTip, "Vantrel");  // modifies never change the record
}

TEST_F(TrayIconTest, TemporaryIconLivesTenSecondsFromItsAdd) {
    settings.disptrayicon.set(0);
    fake::ui().windowAlive = true;
    show_balloon("t", "first", platform::kBalloonWarning);
    show_balloon("t", "second", platform::kBalloonWarning);  // 8 s later: same icon, no new timer
    EXPECT_EQ(fake::ui().timerLog.size(), 1u);
    remove_icon();  // the expiry
    show_balloon("t", "third", platform::kBalloonInfo);
    EXPECT_EQ(request_kinds(), (Kinds{kIconAdd, kIconModify, kIconModify, kIconDelete, kIconAdd, kIconModify}));
    EXPECT_EQ(fake::ui().timerLog, fake::TimerLog(2, {BalloonIconTimer, 10000}));
}

}  // namespace
}  // namespace vantrel::test
