#include "platform/qt/ui_requests.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace vantrel::qt {

namespace {

std::mutex queueLock;
std::deque<std::function<void()>> pending;  // guarded by queueLock
std::thread::id uiThread;                   // guarded by queueLock
int wakeFd = -1;                            // guarded by queueLock; set once

// User-interface thread only.
QPointer<QSocketNotifier> wakeNotifier;
bool draining = false;

// Runs the queued requests in order. A request that makes another request
// only queues it; the loop here runs it next.
void drain() {
    if (draining) return;
    draining = true;
    for (;;) {
        std::function<void()> next;
        {
            std::lock_guard<std::mutex> guard(queueLock);
            if (pending.empty()) break;
            next = std::move(pending.front());
            pending.pop_front();
        }
        next();
    }
    draining = false;
}

void on_wake(QSocketDescriptor fd) {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = read(fd, &count, sizeof count);
    drain();
}

}  // namespace

void attach_ui_thread() {
    if (QCoreApplication::instance() == nullptr) return;
    int fd;
    {
        std::lock_guard<std::mutex> guard(queueLock);
        if (uiThread == std::thread::id()) uiThread = std::this_thread::get_id();
        if (uiThread != std::this_thread::get_id()) return;
        if (wakeFd < 0) wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        fd = wakeFd;
    }
    if (fd < 0 || !wakeNotifier.isNull()) return;
    wakeNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(wakeNotifier.data(), &QSocketNotifier::activated, wakeNotifier.data(), on_wake);
}

void run_on_ui_thread(std::function<void()> request) {
    bool here;
    int fd;
    {
        std::lock_guard<std::mutex> guard(queueLock);
        pending.push_back(std::move(request));
        here = uiThread == std::this_thread::get_id();
        fd = wakeFd;
    }
    if (here) {
        drain();
    } else if (fd >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(fd, &one, sizeof one);
    }
}

void drop_pending_requests() {
    std::lock_guard<std::mutex> guard(queueLock);
    pending.clear();
}

}  // namespace vantrel::qt
