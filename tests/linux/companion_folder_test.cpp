// The per-user folder of an installed copy: where it is for each setting of
// the environment. How an installed copy is recognised and how the folder is
// made: tests/e2e/install.sh, with the installed program.
#include <gtest/gtest.h>

#include "platform/linux/companion_folder.h"

namespace vantrel::test {
namespace {

// XDG_CONFIG_HOME counts only when absolute; HOME likewise, else the account's home.
TEST(CompanionFolder, FollowsTheConfigurationFolderOfTheUser) {
    struct Case {
        const char* configHome;
        const char* home;
        const char* accountHome;
        const char* folder;
    };
    const Case cases[] = {
        {"/x/conf", "/home/u", "/home/a", "/x/conf/vantrel"},
        {"/x/conf//", "/home/u", "/home/a", "/x/conf/vantrel"},
        {nullptr, "/home/u", "/home/a", "/home/u/.config/vantrel"},
        {"", "/home/u/", "/home/a", "/home/u/.config/vantrel"},
        {"conf", "/home/u", "/home/a", "/home/u/.config/vantrel"},
        {nullptr, nullptr, "/root", "/root/.config/vantrel"},
        {nullptr, "home/u", "/home/a", "/home/a/.config/vantrel"},
        {nullptr, "/", "/home/a", "/.config/vantrel"},
        {nullptr, nullptr, "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(companion::user_folder(c.configHome, c.home, c.accountHome), c.folder)
            << (c.configHome ? c.configHome : "(unset)") << " " << (c.home ? c.home : "(unset)");
    }
}

}  // namespace
}  // namespace vantrel::test
