// The list of executable names excluded from per-process measurement, parsed
// from the comma-separated ignoreproc setting before every measurement.
#pragma once

#include <cstddef>

namespace vantrel {

inline constexpr std::size_t kIgnoreEntries = 32;
inline constexpr std::size_t kIgnoreEntrySize = 256;
// Every entry but the last is cut to this many bytes.
inline constexpr std::size_t kIgnoreEntryCut = 31;

struct IgnoreList {
    char entries[kIgnoreEntries][kIgnoreEntrySize];  // empty when the first byte is 0
};

extern IgnoreList ignoreList;

// Empties every entry completely.
void clear_ignore_list(IgnoreList& list);

// Rebuilds the list from a comma-separated text: each entry but the last is
// cut to 31 bytes, the last is taken whole (up to 255 bytes), spaces stay
// part of the entries and an empty text between two commas is an empty entry.
void parse_ignore_list(IgnoreList& list, const char* text);

// True when name equals an entry, byte for byte; the scan stops at the first
// empty entry.
bool is_excluded(const IgnoreList& list, const char* name);

}  // namespace vantrel
