// The per-user folder of an installed copy: where it is for each setting of
// the environment, and its lock. How an installed copy is recognised and how
// the folder is made: tests/e2e/install.sh, with the installed program.
#include <sys/stat.h>

#include <filesystem>

#include "platform/linux/companion_folder.h"
#include "platform/linux/companion_lock.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

using CompanionFolderTest = CoreTest;

// XDG_CONFIG_HOME counts only when absolute; HOME likewise, else the account's home.
TEST(CompanionFolder, FollowsTheConfigurationFolderOfTheUser) {
    const struct { const char *configHome, *home, *accountHome, *folder; } cases[] = {
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
    for (const auto& c : cases)
        EXPECT_EQ(companion::user_folder(c.configHome, c.home, c.accountHome), c.folder)
            << (c.configHome ? c.configHome : "(unset)") << " " << (c.home ? c.home : "(unset)");
}

// One holder at a time, with nothing made in the folder; a read-only folder
// is locked all the same, a missing one cannot be.
TEST_F(CompanionFolderTest, TheFolderIsLockedByOneCopyAtATime) {
    fs::create_directory(path("app"));
    ::chmod(path("app").c_str(), 0555);
    EXPECT_EQ(companion::lock_folder(path("app"), 0), companion::LockResult::Taken);
    EXPECT_EQ(companion::lock_folder(path("app"), 100), companion::LockResult::Held);
    EXPECT_TRUE(fs::is_empty(path("app")));
    EXPECT_EQ(companion::lock_folder(path("missing"), 0), companion::LockResult::Unavailable);
    ::chmod(path("app").c_str(), 0755);
}

}  // namespace
}  // namespace vantrel::test
