// The process snapshot against the real /proc: order, kernel threads, names.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/linux/proc_files.h"
#include "platform/linux/process_snapshot.h"
#include "platform/platform.h"
#include "tests/linux/child_process.h"

namespace vantrel::test {
namespace {

bool listed(pid_t pid, std::string* name = nullptr) {
    for (std::size_t i = 0; i < procfs::listed_process_count(); ++i) {
        const procfs::ListedProcess process = procfs::listed_process(i);
        if (process.pid != pid) continue;
        if (name != nullptr) *name = std::string(process.name);
        return true;
    }
    return false;
}

bool is_kernel_thread(pid_t pid) {
    char path[32];
    char text[1024];
    procfs::ProcessStat stat{};
    procfs::format_pid_path(path, sizeof path, "/proc/", pid, "/stat");
    const ssize_t n = procfs::read_file_at(AT_FDCWD, path, text, sizeof text);
    return n > 0 && procfs::parse_process_stat({text, static_cast<std::size_t>(n)}, stat) &&
           (stat.flags & procfs::kKernelThreadFlag) != 0;
}

TEST(ProcessSnapshot, ListsUserProcessesInAscendingOrderUnderTheirNames) {
    const std::vector<std::string> names = snapshot_names();
    ASSERT_FALSE(names.empty());
    ASSERT_EQ(names.size(), procfs::listed_process_count());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(names[i], procfs::listed_process(i).name);
        if (i > 0) {
            EXPECT_LT(procfs::listed_process(i - 1).pid, procfs::listed_process(i).pid);
        }
    }

    // This test program is listed under its file name, which is longer than
    // the kernel keeps.
    std::string own;
    ASSERT_TRUE(listed(getpid(), &own));
    EXPECT_EQ(own, std::filesystem::read_symlink("/proc/self/exe").filename().string());

    // No kernel thread is listed, and those that /proc shows are left out.
    for (std::size_t i = 0; i < procfs::listed_process_count(); ++i) {
        EXPECT_FALSE(is_kernel_thread(procfs::listed_process(i).pid)) << procfs::listed_process(i).pid;
    }
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string file = entry.path().filename().string();
        if (!std::all_of(file.begin(), file.end(), ::isdigit)) continue;
        const pid_t pid = std::stoi(file);
        if (is_kernel_thread(pid)) {
            EXPECT_FALSE(listed(pid)) << pid;
        }
    }
}

TEST(ProcessSnapshot, CompletesCutNamesFromTheExecutableFile) {
    TempDir dir;
    const std::string pid = std::to_string(getpid());
    const std::string longName = "vantrel-long-executable-name-" + pid;
    const std::string hugeName = "vantrel-" + std::string(180, 'h') + pid;
    // The first argument gives nothing here, and the files are removed
    // before the snapshot: only the executable's link, with its " (deleted)"
    // mark, holds the full names.
    Child longChild = spawn_shell(dir.shell_copy(longName), "sh", kStopScript);
    Child hugeChild = spawn_shell(dir.shell_copy(hugeName), "sh", kStopScript);
    std::filesystem::remove(dir.path() + "/" + longName);
    std::filesystem::remove(dir.path() + "/" + hugeName);

    snapshot_names();
    std::string name;
    ASSERT_TRUE(listed(longChild.pid(), &name));
    EXPECT_EQ(name, longName);
    ASSERT_TRUE(listed(hugeChild.pid(), &name));
    EXPECT_EQ(name, hugeName);

    // The monitor cannot measure a name of more than 127 bytes, so the
    // process is not found under its name cut to 127 bytes either.
    procfs::ListedProcess found{};
    EXPECT_TRUE(procfs::find_listed_process(longName, 0, found));
    EXPECT_EQ(found.pid, longChild.pid());
    EXPECT_FALSE(procfs::find_listed_process(hugeName.substr(0, 127), 0, found));
}

TEST(ProcessSnapshot, CompletesCutNamesFromTheFirstArgument) {
    TempDir dir;
    const std::string pid = std::to_string(getpid());
    // Started through a long link to a shell copy of another name: the
    // executable's file name does not continue the cut name.
    const std::string link = dir.path() + "/vantrel-linked-long-name-" + pid;
    std::filesystem::create_symlink(dir.shell_copy("vt" + pid + "real"), link);
    Child fromArgument = spawn_shell(link, link, kStopScript);
    Child neither = spawn_shell(link, "sh", kStopScript);

    snapshot_names();
    std::string name;
    ASSERT_TRUE(listed(fromArgument.pid(), &name));
    EXPECT_EQ(name, "vantrel-linked-long-name-" + pid);
    ASSERT_TRUE(listed(neither.pid(), &name));
    EXPECT_EQ(name, ("vantrel-linked-long-name-" + pid).substr(0, 15));
}

TEST(ProcessSnapshot, AWalkEndsWhenANewerSnapshotReplacesTheList) {
    platform::ProcessSnapshot* older = platform::snapshot_take();
    ASSERT_NE(older, nullptr);
    EXPECT_NE(platform::snapshot_next(older), nullptr);
    platform::ProcessSnapshot* newer = platform::snapshot_take();
    ASSERT_NE(newer, nullptr);
    EXPECT_EQ(platform::snapshot_next(older), nullptr);
    EXPECT_NE(platform::snapshot_next(newer), nullptr);
    platform::snapshot_close(older);
    platform::snapshot_close(newer);
    EXPECT_EQ(platform::snapshot_next(nullptr), nullptr);
    platform::snapshot_close(nullptr);
}

}  // namespace
}  // namespace vantrel::test
