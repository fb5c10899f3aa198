#include "platform/linux/companion_lock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/linux/companion_folder.h"

namespace vantrel::companion {

namespace {

// A copy that runs without the lock would not notice a second one on the
// same settings: said once, on standard error, and the program runs on.
LockResult unavailable(const std::string& folder, int error) {
    std::fprintf(stderr, "vantrel: the settings folder %s cannot be locked (%s); a second copy using it would go"
                 " unnoticed\n", folder.c_str(), std::strerror(error));
    return LockResult::Unavailable;
}

}  // namespace

LockResult lock_folder(const std::string& folder, int waitMs) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return unavailable(folder, errno);
    constexpr int kStepMs = 50;
    for (int waited = 0;; waited += kStepMs) {
        // The descriptor stays open, and the lock with it, until the process ends.
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) return LockResult::Taken;
        if (errno != EWOULDBLOCK || waited >= waitMs) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kStepMs));
    }
    const int error = errno;
    close(fd);
    return error == EWOULDBLOCK ? LockResult::Held : unavailable(folder, error);
}

std::string companion_folder() {
    const Place& where = place();
    if (where.installed && !make_user_folder(where.folder)) return std::string();
    return where.folder;
}

}  // namespace vantrel::companion
