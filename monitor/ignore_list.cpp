#include "monitor/ignore_list.h"

#include <cstring>
#include <string_view>

#include "text/code_page.h"

namespace vantrel {

IgnoreList ignoreList;

void clear_ignore_list(IgnoreList& list) { std::memset(&list, 0, sizeof list); }

void parse_ignore_list(IgnoreList& list, const char* text) {
    clear_ignore_list(list);
    char work[kIgnoreEntrySize];
    copy_bytes(work, sizeof work, text);
    std::string_view rest(work);
    for (std::size_t n = 0; n < kIgnoreEntries && !rest.empty(); ++n) {
        const std::size_t comma = rest.find(',');
        if (comma == std::string_view::npos) {
            copy_bytes(list.entries[n], kIgnoreEntrySize, rest);
            break;
        }
        copy_bytes(list.entries[n], kIgnoreEntryCut + 1, rest.substr(0, comma));
        rest.remove_prefix(comma + 1);
    }
}

bool is_excluded(const IgnoreList& list, const char* name) {
    for (const auto& entry : list.entries) {
        if (entry[0] == '\0') return false;
        if (std::strcmp(entry, name) == 0) return true;
    }
    return false;
}

}  // namespace vantrel
