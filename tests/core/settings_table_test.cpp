// The settings table: keys, defaults, limits and order, and text storage.
#include <string>
#include <vector>

#include "settings/settings_table.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {
namespace {

TEST(SettingsTableTest, IntegerSettingsInFileOrderWithDefaultsAndLimits) {
    SettingsTable table;
    struct Row {
        const char* key;
        int32_t def;
        int32_t max;
    };
    const Row rows[] = {
        {"allusage", 95, 99},   {"allusageinfo", 80, 99}, {"eachusage", 80, 99},
        {"intervalsec", 5, 3600}, {"disptrayicon", 1, 1},   {"allcount", 0, 1000},
        {"allinfocnt", 0, 1000}, {"eachcount", 1, 1000},   {"allenable", 1, 1},
        {"allinfoenable", 1, 1}, {"eachenable", 1, 1},     {"writelogfile", 0, 1},
    };
    const auto list = int_settings(table);
    ASSERT_EQ(list.size(), std::size(rows));
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_STREQ(list[i]->key, rows[i].key);
        EXPECT_EQ(list[i]->get(), rows[i].def) << rows[i].key;
        EXPECT_EQ(list[i]->max, rows[i].max) << rows[i].key;
        EXPECT_EQ(list[i]->mode, PersistMode::LoadAndSave);
    }
}

TEST(SettingsTableTest, StringSettingsInFileOrderWithTheirDefaultTexts) {
    SettingsTable table;
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"allwarntitle", "CPU使用率 の警告！"},
        {"allwarnmsg", "CPU使用率が {u}% に達しました"},
        {"allinfotitle", "CPU使用率 のお知らせ"},
        {"allinfomsg", "CPU使用率は {u}% です"},
        {"eachwarntitle", "CPU使用率 の警告！"},
        {"eachwarnmsg", "プロセス[{p}]がCPUを {u}% 使っています"},
        {"ignoreproc", ""},
        {"logfilename", ""},
    };
    const auto list = string_settings(table);
    ASSERT_EQ(list.size(), rows.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i]->key, rows[i].first);
        EXPECT_EQ(list[i]->get(), rows[i].second);
    }
    // The exclamation mark is the full-width one, the space an ASCII blank.
    EXPECT_EQ(table.allwarntitle.get(), "CPU\xE4\xBD\xBF\xE7\x94\xA8\xE7\x8E\x87 \xE3\x81\xAE\xE8\xAD\xA6\xE5\x91\x8A\xEF\xBC\x81");
}

TEST(SettingsTableTest, TextsAreStoredByCopyWithinTheirCapacity) {
    SettingsTable table;
    std::string text = "abc";
    table.ignoreproc.set(text);
    text[0] = 'X';
    EXPECT_EQ(table.ignoreproc.get(), "abc");
    table.ignoreproc.set(std::string(5000, 'z'));
    EXPECT_EQ(table.ignoreproc.get().size(), StringSetting::kCapacity - 1);
    char small[8];
    EXPECT_EQ(table.ignoreproc.copy_to(small, sizeof small), 7u);
    EXPECT_STREQ(small, "zzzzzzz");

    table.allusage.set(3);
    table.ignoreproc.set("x");
    reset_to_defaults(table);
    EXPECT_EQ(table.allusage.get(), 95);
    EXPECT_EQ(table.ignoreproc.get(), "");
}

}  // namespace
}  // namespace vantrel::test
