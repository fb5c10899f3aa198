// The executable's location for the threaded tests: a temporary folder, so
// that the settings file and the default log of the real shell land there.
#include <stdlib.h>

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "tests/threaded/temp_executable_path.h"

namespace vantrel::test {

const std::string& temp_executable_dir() {
    static const std::string dir = [] {
        char templ[] = "/tmp/vantrel-threaded-XXXXXX";
        return std::string(mkdtemp(templ) != nullptr ? templ : "/tmp");
    }();
    return dir;
}

}  // namespace vantrel::test

namespace vantrel::platform {

std::size_t executable_path(char* buf, std::size_t cap) {
    const std::string path = test::temp_executable_dir() + "/vantrel";
    if (path.size() >= cap) return 0;
    std::memcpy(buf, path.c_str(), path.size() + 1);
    return path.size();
}

char directory_separator() { return '/'; }

}  // namespace vantrel::platform
