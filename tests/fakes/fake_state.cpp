// The executable's location that the fake system gives. Kept apart from the
// fake processes so that tests of the real /proc services can still place
// the executable's companion files in a folder of their own.
#include <cstring>

#include "tests/fakes/fake_system.h"

namespace vantrel::platform {

std::size_t executable_path(char* buf, std::size_t cap) {
    const std::string& p = fake::system().executablePath;
    if (p.empty() || p.size() >= cap) return 0;
    std::memcpy(buf, p.c_str(), p.size() + 1);
    return p.size();
}

char directory_separator() { return fake::system().separator; }

}  // namespace vantrel::platform
