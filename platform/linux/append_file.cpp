// Appending a block of bytes to a file, opened and closed for each block.
// Only a regular file takes lines: whatever else a name points at (a FIFO
// nobody reads, a directory, a device, a socket) counts as a file that
// cannot be opened, and the open never waits for a reader.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/companion_folder.h"
#include "platform/platform.h"

namespace vantrel::platform {

int append_file_bytes(const char* path, const char* bytes, std::size_t length) {
    if (path == nullptr) return 1;
    constexpr int kFlags = O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    int fd = open(path, kFlags, 0666);
    // The first line of an installed copy's default log makes its folder.
    if (fd < 0 && errno == ENOENT && companion::make_folder_for(path)) fd = open(path, kFlags, 0666);
    if (fd < 0) return 1;
    // A file without the owner's write permission is read-only, also for
    // root, who could otherwise open it.
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (st.st_mode & S_IWUSR) == 0) {
        close(fd);
        return 1;
    }
    // One write; a short or failed write is not reported.
    [[maybe_unused]] const ssize_t written = write(fd, bytes, length);
    close(fd);
    return 0;
}

}  // namespace vantrel::platform
