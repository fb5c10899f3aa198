// File attributes on Linux: read-only is the owner's missing write
// permission; there is no hidden mark.
#include <sys/stat.h>

#include "platform/platform.h"

namespace vantrel::platform {

uint32_t get_file_attributes(const char* path) {
    struct stat st {};
    if (stat(path, &st) != 0) return kInvalidFileAttributes;
    return (st.st_mode & S_IWUSR) == 0 ? kAttrReadOnly : 0;
}

bool set_file_attributes(const char* path, uint32_t attributes) {
    struct stat st {};
    if (stat(path, &st) != 0) return false;
    const mode_t wanted = (attributes & kAttrReadOnly) != 0 ? (st.st_mode & ~S_IWUSR) : (st.st_mode | S_IWUSR);
    if ((wanted & 07777) == (st.st_mode & 07777)) return true;
    return chmod(path, wanted & 07777) == 0;
}

}  // namespace vantrel::platform
