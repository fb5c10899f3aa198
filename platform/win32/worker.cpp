// The worker thread, started with the language runtime's thread start. One
// runs at a time; each new start first collects the one before, which has
// ended by then, and the program waits for the last before it ends, so that
// no cycle still runs while the program's state is taken down.
#include <system_error>
#include <thread>

#include "platform/platform.h"
#include "platform/win32/window_hooks.h"

namespace vantrel::win32 {

namespace {

std::thread worker;  // user-interface thread only

}  // namespace

void join_worker() {
    if (worker.joinable()) worker.join();
}

}  // namespace vantrel::win32

namespace vantrel::platform {

bool start_worker(void (*fn)()) {
    win32::join_worker();
    try {
        win32::worker = std::thread(fn);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

}  // namespace vantrel::platform
