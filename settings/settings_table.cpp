#include "settings/settings_table.h"

#include <cstring>

#include "text/code_page.h"

namespace vantrel {

SettingsTable settings;

bool is_loaded(PersistMode mode) {
    return mode == PersistMode::LoadOnly || mode == PersistMode::LoadAndSave;
}

bool is_saved(PersistMode mode) {
    return mode == PersistMode::SaveOnly || mode == PersistMode::LoadAndSave;
}

std::size_t StringSetting::copy_to(char* out, std::size_t cap) const {
    std::lock_guard<std::mutex> guard(lock);
    return copy_bytes(out, cap, value);
}

std::string StringSetting::get() const {
    std::lock_guard<std::mutex> guard(lock);
    return value;
}

void StringSetting::set(std::string_view text) {
    std::lock_guard<std::mutex> guard(lock);
    copy_bytes(value, kCapacity, text);
}

SettingsTable::SettingsTable() { reset_to_defaults(*this); }

std::array<IntSetting*, 12> int_settings(SettingsTable& t) {
    return {&t.allusage,   &t.allusageinfo, &t.eachusage, &t.intervalsec,
            &t.disptrayicon, &t.allcount,   &t.allinfocnt, &t.eachcount,
            &t.allenable,  &t.allinfoenable, &t.eachenable, &t.writelogfile};
}

std::array<StringSetting*, 8> string_settings(SettingsTable& t) {
    return {&t.allwarntitle,  &t.allwarnmsg,  &t.allinfotitle, &t.allinfomsg,
            &t.eachwarntitle, &t.eachwarnmsg, &t.ignoreproc,   &t.logfilename};
}

void reset_to_defaults(SettingsTable& table) {
    for (IntSetting* s : int_settings(table)) s->set(s->def);
    for (StringSetting* s : string_settings(table)) s->set(s->def);
}

}  // namespace vantrel
