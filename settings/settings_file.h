// The settings file "Vantrel.ini" beside the executable: read once at start,
// written once at exit, one profile call per key.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

inline constexpr std::size_t kPathBufferSize = 260;
inline constexpr std::size_t kProfileValueSize = 256;  // a value read holds at most 255 bytes
inline constexpr const char* kSettingsSection = "Base";

// Files that live beside the executable.
enum class CompanionFile { Settings, DefaultLog };

// Builds the full path of the file in the executable's directory into path
// and clears the file's read-only and hidden attributes. When the directory
// cannot be found or the path would not fit in 260 bytes, path is empty and
// the result is 1; otherwise the result is that of clear_readonly_hidden.
int companion_file_path(CompanionFile file, char (&path)[kPathBufferSize]);

// Clears the read-only and hidden attributes, keeping the others. 0 when the
// attributes were read and written back, 1 otherwise.
int clear_readonly_hidden(const char* path);

// The key's value when it lies between 0 and max (both as unsigned numbers),
// else current.
int32_t read_profile_int(const char* key, int32_t current, int32_t max);

// The key's text (at most 255 bytes) into out (256 bytes); current when the
// file or the key is missing.
void read_profile_string(const char* key, const char* current, char (&out)[kProfileValueSize]);

void write_profile_int(const char* key, int32_t value);

// Writes the text in double quotes, so that blanks at either end survive.
void write_profile_string(const char* key, const char* text);

// Reads every setting that is loaded, empties the exclusion list and raises
// an intervalsec below 1 to 1.
void load_settings();

// Writes every setting that is saved, in table order.
void save_settings();

}  // namespace vantrel
