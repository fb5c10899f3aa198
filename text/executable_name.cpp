#include "text/executable_name.h"

namespace vantrel {

std::size_t short_name_length(std::string_view name) {
    for (const std::string_view ext : {".exe", ".Exe", ".EXE"}) {
        const std::size_t at = name.find(ext);
        if (at != std::string_view::npos) return at;
    }
    return name.size();
}

}  // namespace vantrel
