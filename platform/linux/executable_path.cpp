// Where the executable lives, as far as its companion files are concerned:
// the core keeps them in the executable's folder.
#include <cstring>
#include <string>

#include "platform/linux/companion_folder.h"
#include "platform/platform.h"

namespace vantrel::platform {

// A portable copy: the executable's path, from /proc/self/exe. An installed
// copy: the path it would have in the per-user folder, so that the
// companion files go there and never into the install prefix.
std::size_t executable_path(char* buf, std::size_t cap) {
    const companion::Place& where = companion::place();
    std::string path = where.executable;
    if (where.installed) {
        path = where.userFolder.empty() ? std::string() : where.userFolder + path.substr(path.rfind('/'));
    }
    if (path.empty() || path.size() >= cap) return 0;
    std::memcpy(buf, path.c_str(), path.size() + 1);
    return path.size();
}

char directory_separator() { return '/'; }

}  // namespace vantrel::platform
