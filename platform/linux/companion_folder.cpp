#include "platform/linux/companion_folder.h"

#include <errno.h>
#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace vantrel::companion {

namespace {

bool absolute(const char* path) { return path != nullptr && path[0] == '/'; }

std::string without_trailing_slashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string read_executable_path() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf);
    // readlink does not terminate, and a result that fills the buffer may
    // have been cut: both count as unknown.
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buf) return std::string();
    return std::string(buf, static_cast<std::size_t>(n));
}

std::string account_home() {
    std::vector<char> buf(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buf.data(), buf.size(), &found) != 0 || found == nullptr) return std::string();
    return found->pw_dir != nullptr ? found->pw_dir : "";
}

Place locate() {
    Place where{read_executable_path(), false, std::string()};
    const std::size_t slash = where.executable.rfind('/');
    if (slash == std::string::npos) return where;
    const std::string_view exeDir = std::string_view(where.executable).substr(0, slash);
    where.installed = is_installed(exeDir, VANTREL_ENTRY_FROM_BIN);
    if (where.installed) {
        const std::string home = account_home();
        where.folder = user_folder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), home.c_str());
    } else {
        where.folder = slash == 0 ? std::string("/") : std::string(exeDir);
    }
    return where;
}

// Makes the folder with mode 0700 unless it exists; its parent must exist.
// True when it is a folder afterwards.
bool make_one_folder(const std::string& folder) {
    struct stat st {};
    if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    if (mkdir(folder.c_str(), 0700) != 0) return errno == EEXIST && stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    // The mode asked for, whatever the umask takes away.
    return chmod(folder.c_str(), 0700) == 0;
}

}  // namespace

const Place& place() {
    static const Place where = locate();
    return where;
}

std::string user_folder(const char* configHome, const char* home, const char* accountHome) {
    if (absolute(configHome)) return without_trailing_slashes(configHome) + "/vantrel";
    const char* base = absolute(home) ? home : accountHome;
    if (!absolute(base)) return std::string();
    std::string folder = without_trailing_slashes(base);
    if (folder != "/") folder += '/';
    return folder + ".config/vantrel";
}

bool is_installed(std::string_view exeDir, std::string_view entryFromBin) {
    std::string entry(exeDir);
    entry += '/';
    entry += entryFromBin;
    struct stat st {};
    return stat(entry.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool make_user_folder(const std::string& folder) {
    const std::size_t slash = folder.rfind('/');
    if (slash == std::string::npos || slash == 0) return false;
    return make_one_folder(folder.substr(0, slash)) && make_one_folder(folder);
}

bool make_folder_for(const char* path) {
    const Place& where = place();
    if (!where.installed || where.folder.empty() || path == nullptr) return false;
    const std::string_view file(path);
    const std::string_view folder(where.folder);
    if (file.size() <= folder.size() + 1 || file.substr(0, folder.size()) != folder || file[folder.size()] != '/' ||
        file.find('/', folder.size() + 1) != std::string_view::npos)
        return false;
    struct stat st {};
    if (stat(where.folder.c_str(), &st) == 0) return false;
    return make_user_folder(where.folder);
}

}  // namespace vantrel::companion
