#include "settings/settings_file.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "monitor/ignore_list.h"
#include "platform/platform.h"
#include "settings/settings_table.h"
#include "text/code_page.h"

namespace vantrel {

namespace {

const char* file_name(CompanionFile file) {
    return file == CompanionFile::Settings ? "Vantrel.ini" : "cpuusagelog.txt";
}

// The executable's directory with its trailing separator, joined with the
// file name; false when the path cannot be obtained or does not fit.
bool build_companion_path(CompanionFile file, char (&path)[kPathBufferSize]) {
    path[0] = '\0';
    char exe[kPathBufferSize];
    const std::size_t length = platform::executable_path(exe, sizeof exe);
    if (length == 0 || length >= sizeof exe) return false;
    const std::string_view exePath(exe, length);
    const std::size_t sep =
        find_last_char(platform::system_code_page(), exePath, platform::directory_separator());
    // A path without a separator has no folder: the name alone.
    const std::size_t dir = sep == std::string_view::npos ? 0 : sep + 1;
    const std::string_view name = file_name(file);
    if (dir + name.size() >= kPathBufferSize) return false;
    std::memcpy(path, exe, dir);
    std::memcpy(path + dir, name.data(), name.size());
    path[dir + name.size()] = '\0';
    return true;
}

}  // namespace

int clear_readonly_hidden(const char* path) {
    const uint32_t attributes = platform::get_file_attributes(path);
    if (attributes == platform::kInvalidFileAttributes) return 1;
    const uint32_t cleared = attributes & ~(platform::kAttrReadOnly | platform::kAttrHidden);
    return platform::set_file_attributes(path, cleared) ? 0 : 1;
}

int companion_file_path(CompanionFile file, char (&path)[kPathBufferSize]) {
    if (!build_companion_path(file, path)) return 1;
    return clear_readonly_hidden(path);
}

int32_t read_profile_int(const char* key, int32_t current, int32_t max) {
    char path[kPathBufferSize];
    companion_file_path(CompanionFile::Settings, path);
    if (path[0] == '\0') return current;
    const uint32_t r = platform::profile_read_int(kSettingsSection, key, current, path);
    if (r > static_cast<uint32_t>(max)) return current;
    return static_cast<int32_t>(r);
}

void read_profile_string(const char* key, const char* current, char (&out)[kProfileValueSize]) {
    out[0] = '\0';
    char path[kPathBufferSize];
    companion_file_path(CompanionFile::Settings, path);
    if (path[0] == '\0') {
        copy_cut(platform::system_code_page(), out, sizeof out, current);
        return;
    }
    platform::profile_read_string(kSettingsSection, key, current, out, sizeof out, path);
}

void write_profile_int(const char* key, int32_t value) {
    char path[kPathBufferSize];
    companion_file_path(CompanionFile::Settings, path);
    if (path[0] == '\0') return;
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    platform::profile_write_string(kSettingsSection, key, text, path);
}

void write_profile_string(const char* key, const char* text) {
    char path[kPathBufferSize];
    companion_file_path(CompanionFile::Settings, path);
    if (path[0] == '\0') return;
    // At most 256 bytes of the value, in quotes, in a 260-byte buffer.
    char quoted[kPathBufferSize];
    std::snprintf(quoted, sizeof quoted, "\"%.256s\"", text);
    platform::profile_write_string(kSettingsSection, key, quoted, path);
}

void load_settings() {
    for (IntSetting* s : int_settings(settings)) {
        if (is_loaded(s->mode)) s->set(read_profile_int(s->key, s->get(), s->max));
    }
    for (StringSetting* s : string_settings(settings)) {
        if (!is_loaded(s->mode)) continue;
        char current[StringSetting::kCapacity];
        s->copy_to(current, sizeof current);
        char value[kProfileValueSize];
        read_profile_string(s->key, current, value);
        s->set(value);
    }
    clear_ignore_list(ignoreList);
    if (settings.intervalsec.get() < 1) settings.intervalsec.set(1);
}

void save_settings() {
    for (IntSetting* s : int_settings(settings)) {
        if (is_saved(s->mode)) write_profile_int(s->key, s->get());
    }
    for (StringSetting* s : string_settings(settings)) {
        if (!is_saved(s->mode)) continue;
        char value[StringSetting::kCapacity];
        s->copy_to(value, sizeof value);
        write_profile_string(s->key, value);
    }
}

}  // namespace vantrel
