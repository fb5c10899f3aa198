// Where the executable lives.
#include <windows.h>

#include "platform/platform.h"

namespace vantrel::platform {

std::size_t executable_path(char* buf, std::size_t cap) {
    if (buf == nullptr || cap == 0) return 0;
    const DWORD size = cap > MAXDWORD ? MAXDWORD : static_cast<DWORD>(cap);
    const DWORD n = GetModuleFileNameA(nullptr, buf, size);
    // A result that fills the buffer was cut: it counts as a path that does
    // not fit, and the buffer is left terminated.
    if (n == 0 || n >= size) {
        buf[0] = '\0';
        return 0;
    }
    return n;
}

char directory_separator() { return '\\'; }

}  // namespace vantrel::platform
