// Appending a block of bytes to a file, opened and closed for each block with
// the standard "ab" mode: the file is created when missing, every write goes
// to its end, nothing is translated, and a read-only file cannot be opened.
// Only a file on a disk takes lines: a device or a pipe that the name may
// point at counts as a file that cannot be opened.
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "platform/platform.h"

namespace vantrel::platform {

int append_file_bytes(const char* path, const char* bytes, std::size_t length) {
    if (path == nullptr) return 1;
    std::FILE* file = std::fopen(path, "ab");
    if (file == nullptr) return 1;
    if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != FILE_TYPE_DISK) {
        std::fclose(file);
        return 1;
    }
    // One write; a short or failed write is not reported.
    [[maybe_unused]] const std::size_t written = std::fwrite(bytes, 1, length, file);
    std::fclose(file);
    return 0;
}

}  // namespace vantrel::platform
