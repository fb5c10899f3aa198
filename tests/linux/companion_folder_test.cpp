// The per-user folder of an installed copy: where it is, how an installed
// copy is recognised, how the folder is made, and its lock. The installed program
// itself is run by tests/e2e/install.sh.
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/linux/companion_folder.h"
#include "platform/linux/companion_lock.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

using CompanionFolderTest = CoreTest;

unsigned mode_of(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

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

// Installed: the desktop entry where the install rules put it relative to bin.
TEST_F(CompanionFolderTest, AnInstalledCopyIsKnownByItsDesktopEntry) {
    const std::string entry = "../share/applications/org.vantrel.Vantrel.desktop";
    fs::create_directories(path("usr/bin"));
    EXPECT_FALSE(companion::is_installed(path("usr/bin"), entry));
    fs::create_directories(path("usr/share/applications/org.vantrel.Vantrel.desktop"));
    EXPECT_FALSE(companion::is_installed(path("usr/bin"), entry)) << "a folder of that name";
    fs::remove(path("usr/share/applications/org.vantrel.Vantrel.desktop"));
    write_file(path("usr/share/applications/org.vantrel.Vantrel.desktop"), "[Desktop Entry]\n");
    EXPECT_TRUE(companion::is_installed(path("usr/bin"), entry));
}

// The folder and a missing configuration folder are made 0700 whatever the umask; a missing home
// is not made, and a file in the way is not replaced.
TEST_F(CompanionFolderTest, TheFolderIsMadePrivateBelowAnExistingHomeOnly) {
    const mode_t old = ::umask(0);
    EXPECT_TRUE(companion::make_user_folder(path("home/.config/vantrel")) == false && !exists(path("home")));
    fs::create_directory(path("home"));
    EXPECT_TRUE(companion::make_user_folder(path("home/.config/vantrel")));
    EXPECT_EQ(mode_of(path("home/.config")), 0700u);
    EXPECT_EQ(mode_of(path("home/.config/vantrel")), 0700u);
    ::chmod(path("home/.config/vantrel").c_str(), 0755);
    EXPECT_TRUE(companion::make_user_folder(path("home/.config/vantrel")));
    EXPECT_EQ(mode_of(path("home/.config/vantrel")), 0755u) << "an existing folder is left as it is";
    write_file(path("home/.config/other"), "");
    EXPECT_FALSE(companion::make_user_folder(path("home/.config/other")));
    ::umask(old);
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
