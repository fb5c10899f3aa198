#include "platform/qt/message_loop.h"

#include <QCoreApplication>

#include <optional>
#include <system_error>
#include <thread>

#include "platform/platform.h"
#include "platform/qt/ui_requests.h"

namespace vantrel::qt {

namespace {

std::optional<int> postedQuit;  // the exit code once the quit is posted

// The last worker started; user-interface thread only. Never destroyed: when
// the process ends from elsewhere while a cycle runs (Qt calls exit() when
// the X server goes away), a running std::thread's destructor would abort.
std::thread& worker() {
    static auto* const thread = new std::thread();
    return *thread;
}

}  // namespace

void join_worker() {
    if (worker().joinable()) worker().join();
}

}  // namespace vantrel::qt

namespace vantrel::platform {

void post_quit_message(int exit_code) {
    qt::postedQuit = exit_code;
    // Ends every running loop, the modal loops of menus and dialogs included.
    QCoreApplication::exit(exit_code);
}

int run_message_loop() {
    const int code = qt::postedQuit ? *qt::postedQuit : QCoreApplication::exec();
    qt::postedQuit.reset();
    qt::join_worker();
    qt::drop_pending_requests();
    return code;
}

// A new worker starts only once the last one has cleared busy, so joining it
// here waits at most for the few instructions after that.
bool start_worker(void (*fn)()) {
    qt::join_worker();
    try {
        qt::worker() = std::thread(fn);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

}  // namespace vantrel::platform
