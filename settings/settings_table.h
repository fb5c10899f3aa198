// The table of all user settings, with defaults, limits and persistence.
//
// Every part of the program reads and writes a setting directly as a named
// field of the one process-wide table. The worker thread reads settings while
// the user-interface thread may change them, without a lock on the integers:
// each is one std::atomic<int32_t>, read and written whole. A text setting is
// replaced and copied under its own short lock, so a reader never sees half
// of a text.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace vantrel {

// Which directions of persistence apply to a setting.
enum class PersistMode : int32_t { SaveOnly = 1, LoadOnly = 2, LoadAndSave = 3 };

bool is_loaded(PersistMode mode);
bool is_saved(PersistMode mode);

struct IntSetting {
    const char* key;
    PersistMode mode;
    int32_t def;
    int32_t max;  // largest value accepted from the settings file
    std::atomic<int32_t> value;

    int32_t get() const { return value.load(); }
    void set(int32_t v) { value.store(v); }
};

struct StringSetting {
    static constexpr std::size_t kCapacity = 1024;

    const char* key;
    PersistMode mode;
    const char* def;
    mutable std::mutex lock;
    char value[kCapacity];

    // Copies the value into out (cap bytes), cut to cap - 1 bytes by bytes,
    // terminated; returns the length copied.
    std::size_t copy_to(char* out, std::size_t cap) const;
    std::string get() const;
    // Stores a copy of text (at most kCapacity - 1 bytes of it).
    void set(std::string_view text);
};

struct SettingsTable {
    IntSetting allusage{"allusage", PersistMode::LoadAndSave, 95, 99, {95}};
    IntSetting allusageinfo{"allusageinfo", PersistMode::LoadAndSave, 80, 99, {80}};
    IntSetting eachusage{"eachusage", PersistMode::LoadAndSave, 80, 99, {80}};
    IntSetting intervalsec{"intervalsec", PersistMode::LoadAndSave, 5, 3600, {5}};
    IntSetting disptrayicon{"disptrayicon", PersistMode::LoadAndSave, 1, 1, {1}};
    IntSetting allcount{"allcount", PersistMode::LoadAndSave, 0, 1000, {0}};
    IntSetting allinfocnt{"allinfocnt", PersistMode::LoadAndSave, 0, 1000, {0}};
    IntSetting eachcount{"eachcount", PersistMode::LoadAndSave, 1, 1000, {1}};
    IntSetting allenable{"allenable", PersistMode::LoadAndSave, 1, 1, {1}};
    IntSetting allinfoenable{"allinfoenable", PersistMode::LoadAndSave, 1, 1, {1}};
    IntSetting eachenable{"eachenable", PersistMode::LoadAndSave, 1, 1, {1}};
    IntSetting writelogfile{"writelogfile", PersistMode::LoadAndSave, 0, 1, {0}};

    StringSetting allwarntitle{"allwarntitle", PersistMode::LoadAndSave, "CPU使用率 の警告！", {}, {}};
    StringSetting allwarnmsg{"allwarnmsg", PersistMode::LoadAndSave, "CPU使用率が {u}% に達しました", {}, {}};
    StringSetting allinfotitle{"allinfotitle", PersistMode::LoadAndSave, "CPU使用率 のお知らせ", {}, {}};
    StringSetting allinfomsg{"allinfomsg", PersistMode::LoadAndSave, "CPU使用率は {u}% です", {}, {}};
    StringSetting eachwarntitle{"eachwarntitle", PersistMode::LoadAndSave, "CPU使用率 の警告！", {}, {}};
    StringSetting eachwarnmsg{"eachwarnmsg", PersistMode::LoadAndSave,
                              "プロセス[{p}]がCPUを {u}% 使っています", {}, {}};
    StringSetting ignoreproc{"ignoreproc", PersistMode::LoadAndSave, "", {}, {}};
    StringSetting logfilename{"logfilename", PersistMode::LoadAndSave, "", {}, {}};

    SettingsTable();
    SettingsTable(const SettingsTable&) = delete;
    SettingsTable& operator=(const SettingsTable&) = delete;
};

// The process-wide table.
extern SettingsTable settings;

// The two ordered lists in which the settings file is read and written.
std::array<IntSetting*, 12> int_settings(SettingsTable& table);
std::array<StringSetting*, 8> string_settings(SettingsTable& table);

// Puts every setting back to its default.
void reset_to_defaults(SettingsTable& table);

}  // namespace vantrel
