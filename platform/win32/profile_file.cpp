// The private-profile (INI) file: the system's own profile functions.
#include <windows.h>

#include "platform/platform.h"

namespace vantrel::platform {

uint32_t profile_read_int(const char* section, const char* key, int32_t def, const char* path) {
    return GetPrivateProfileIntA(section, key, def, path);
}

std::size_t profile_read_string(const char* section, const char* key, const char* def, char* out,
                                std::size_t cap, const char* path) {
    if (out == nullptr || cap == 0) return 0;
    const DWORD size = cap > MAXDWORD ? MAXDWORD : static_cast<DWORD>(cap);
    return GetPrivateProfileStringA(section, key, def, out, size, path);
}

bool profile_write_string(const char* section, const char* key, const char* value,
                          const char* path) {
    // A null key or value would delete the key or the section.
    if (section == nullptr || key == nullptr || value == nullptr || path == nullptr) return false;
    return WritePrivateProfileStringA(section, key, value, path) != 0;
}

}  // namespace vantrel::platform
