// Writing the profile file: only the one key's bytes change, and the file is
// replaced whole or not at all.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/linux/profile_text.h"
#include "platform/platform.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

std::string set(const std::string& text, const char* key = "k", const char* value = "v") {
    return profile::with_value(text, "Base", key, value).value_or("<refused>");
}

TEST(ProfileTextWriteTest, PresentKeyChangesOnlyItsValue) {
    EXPECT_EQ(set("; c\n[X]\nk=0\n\n[base]\r\n  K = old  \r\nj=1\r"), "; c\n[X]\nk=0\n\n[base]\r\n  K = v  \r\nj=1\r");
    EXPECT_EQ(set("[Base]\nk=\nk=2"), "[Base]\nk=v\nk=2");
    EXPECT_EQ(set("[Base]\nk=  \t"), "[Base]\nk=v  \t");
    EXPECT_EQ(set(std::string("[Base]\nk=a\0b \n", 14)), "[Base]\nk=v \n");
}

TEST(ProfileTextWriteTest, MissingKeyFollowsTheLastKeyLineOfItsSection) {
    EXPECT_EQ(set("[Base]\r\na=1\r\n; about Next\r\n\r\n[Next]\r\n"),
              "[Base]\r\na=1\r\nk=v\r\n; about Next\r\n\r\n[Next]\r\n");
    EXPECT_EQ(set("[Base]\n\n[Next]"), "[Base]\nk=v\r\n\n[Next]");
    EXPECT_EQ(set("[Base]\ra=1"), "[Base]\ra=1\r\nk=v\r\n");
    EXPECT_EQ(set("[Base]"), "[Base]\r\nk=v\r\n");
    // Only the first section of the name is written, as only it is read.
    EXPECT_EQ(set("[Base]\na=1\n[BASE]\nk=9\n"), "[Base]\na=1\nk=v\r\n[BASE]\nk=9\n");
    EXPECT_EQ(set("[Base]\na=1\n", "NewKey"), "[Base]\na=1\nNewKey=v\r\n");
}

TEST(ProfileTextWriteTest, MissingSectionGoesAtTheEndAfterABlankLine) {
    EXPECT_EQ(set(""), "[Base]\r\nk=v\r\n");
    EXPECT_EQ(set("\xEF\xBB\xBF"), "\xEF\xBB\xBF[Base]\r\nk=v\r\n");
    EXPECT_EQ(set("[X]\nx=1\n"), "[X]\nx=1\n\r\n[Base]\r\nk=v\r\n");
    EXPECT_EQ(set("[X]\nx=1"), "[X]\nx=1\r\n\r\n[Base]\r\nk=v\r\n");
    EXPECT_EQ(set("[X]\r\n\r\n"), "[X]\r\n\r\n[Base]\r\nk=v\r\n");
    EXPECT_EQ(set("k=1\n[Base2]\n"), "k=1\n[Base2]\n\r\n[Base]\r\nk=v\r\n");
}

TEST(ProfileTextWriteTest, NamesAndValuesThatCannotBeReadBackAreRefused) {
    for (const char* key : {"", " k", "k ", "a=b", ";k", "[k", "k\n"}) EXPECT_EQ(set("", key), "<refused>") << key;
    EXPECT_FALSE(profile::with_value("", "", "k", "v"));
    EXPECT_FALSE(profile::with_value("", "Base\r", "k", "v"));
    EXPECT_FALSE(profile::with_value("", "Base", "k", "a\rb"));
    EXPECT_FALSE(profile::with_value("", "Base", "k", std::string_view("a\0b", 3)));
}

class ProfileFileWriteTest : public CoreTest {
protected:
    std::string ini() const { return path("p.ini"); }
    bool write(const std::string& file, const char* value = "v", const char* key = "k") {
        return platform::profile_write_string("Base", key, value, file.c_str());
    }
    static ino_t inode(const std::string& file) {
        struct stat st {};
        ::stat(file.c_str(), &st);
        return st.st_ino;
    }
    static mode_t mode(const std::string& file) {
        struct stat st {};
        ::stat(file.c_str(), &st);
        return st.st_mode & 07777;
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir()), {}));
    }
};

TEST_F(ProfileFileWriteTest, FileIsReplacedWithItsPermissionsKept) {
    write_file(ini(), "[Base]\nk=old\n");
    ASSERT_EQ(::chmod(ini().c_str(), 0640), 0);
    const ino_t before = inode(ini());
    EXPECT_TRUE(write(ini()));
    EXPECT_EQ(read_file(ini()), "[Base]\nk=v\n");
    EXPECT_NE(inode(ini()), before);
    EXPECT_EQ(mode(ini()), 0640u);
    EXPECT_EQ(entries(), 1u);  // no temporary file left behind

    // The same value again leaves the file alone.
    const ino_t replaced = inode(ini());
    EXPECT_TRUE(write(ini()));
    EXPECT_EQ(inode(ini()), replaced);
}

TEST_F(ProfileFileWriteTest, SymbolicLinkStaysAndItsTargetIsReplaced) {
    ASSERT_EQ(::mkdir(path("real").c_str(), 0755), 0);
    write_file(path("real/p.ini"), "[Base]\nk=old\n");
    ASSERT_EQ(::symlink("real/p.ini", ini().c_str()), 0);
    EXPECT_TRUE(write(ini()));
    EXPECT_TRUE(std::filesystem::is_symlink(ini()));
    EXPECT_EQ(read_file(path("real/p.ini")), "[Base]\nk=v\n");

    // A link to a missing file creates that file.
    ASSERT_EQ(::symlink(path("real/new.ini").c_str(), path("dangling").c_str()), 0);
    EXPECT_TRUE(write(path("dangling")));
    EXPECT_TRUE(std::filesystem::is_symlink(path("dangling")));
    EXPECT_EQ(read_file(path("real/new.ini")), "[Base]\r\nk=v\r\n");
}

TEST_F(ProfileFileWriteTest, WhatCannotBeReplacedSafelyIsLeftAlone) {
    write_file(ini(), "[Base]\nk=old\n");
    ASSERT_EQ(::chmod(ini().c_str(), 0444), 0);
    EXPECT_FALSE(write(ini()));  // read-only, even for root
    EXPECT_EQ(read_file(ini()), "[Base]\nk=old\n");
    EXPECT_FALSE(write(ini(), "v", "a=b"));

    EXPECT_FALSE(write(path("missing/p.ini")));
    ASSERT_EQ(::mkdir(path("adir").c_str(), 0755), 0);
    EXPECT_FALSE(write(path("adir")));
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0666), 0);
    EXPECT_FALSE(write(path("fifo")));  // and does not wait for a writer
    EXPECT_EQ(platform::profile_read_int("Base", "k", 3, path("fifo").c_str()), 3u);
    ASSERT_EQ(::symlink("loop", path("loop").c_str()), 0);
    EXPECT_FALSE(write(path("loop")));
    EXPECT_EQ(entries(), 4u);
}

}  // namespace
}  // namespace vantrel::test
