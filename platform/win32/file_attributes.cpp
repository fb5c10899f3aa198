// File attributes: the system's read-only, hidden, archive and other bits.
#include <windows.h>

#include "platform/platform.h"

namespace vantrel::platform {

uint32_t get_file_attributes(const char* path) { return GetFileAttributesA(path); }

bool set_file_attributes(const char* path, uint32_t attributes) {
    return SetFileAttributesA(path, attributes) != 0;
}

}  // namespace vantrel::platform
