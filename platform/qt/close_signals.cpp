#include "platform/qt/close_signals.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/qt/window_records.h"

namespace vantrel::qt {

namespace {

sigset_t close_signal_set() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

}  // namespace

int CloseSignals::block() {
    const sigset_t set = close_signal_set();
    if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) return -1;
    return signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
}

CloseSignals::CloseSignals(int fd) : fd_(fd) {
    if (fd_ < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
        signalfd_siginfo info;
        while (read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        }
        platform::send_message(main_window(), platform::kMsgClose, 0, 0);
    });
}

CloseSignals::~CloseSignals() {
    notifier_.reset();
    if (fd_ >= 0) close(fd_);
}

}  // namespace vantrel::qt
