// Where the executable lives, as far as its companion files are concerned:
// the core keeps them in the executable's folder.
#include <cstring>
#include <string>

#include "platform/linux/companion_folder.h"
#include "platform/platform.h"

namespace vantrel::platform {

// The executable's name (from /proc/self/exe) in the folder of the companion
// files: for a portable copy the executable's own path, for an installed
// copy the path it would have in the per-user folder, so that the companion
// files go there and never into the install prefix.
std::size_t executable_path(char* buf, std::size_t cap) {
    const companion::Place& where = companion::place();
    if (where.folder.empty()) return 0;
    const std::string name = where.executable.substr(where.executable.rfind('/') + 1);
    const std::string path = where.folder == "/" ? "/" + name : where.folder + "/" + name;
    if (path.size() >= cap) return 0;
    std::memcpy(buf, path.c_str(), path.size() + 1);
    return path.size();
}

char directory_separator() { return '/'; }

}  // namespace vantrel::platform
