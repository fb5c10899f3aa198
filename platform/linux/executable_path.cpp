// Where the executable lives, from /proc/self/exe.
#include <unistd.h>

#include "platform/platform.h"

namespace vantrel::platform {

std::size_t executable_path(char* buf, std::size_t cap) {
    if (cap == 0) return 0;
    const ssize_t n = readlink("/proc/self/exe", buf, cap);
    // readlink does not terminate, and a result that fills the buffer may
    // have been cut: both count as a path that does not fit.
    if (n <= 0 || static_cast<std::size_t>(n) >= cap) return 0;
    buf[n] = '\0';
    return static_cast<std::size_t>(n);
}

char directory_separator() { return '/'; }

}  // namespace vantrel::platform
