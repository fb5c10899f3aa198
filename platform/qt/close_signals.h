// SIGINT and SIGTERM close the main window, the Linux counterpart of another
// program asking the window to close: the settings are saved and the program
// ends with exit code 0.
#pragma once

#include <QSocketNotifier>

#include <memory>

namespace vantrel::qt {

class CloseSignals {
public:
    // Blocks the two signals in the calling thread and in every thread it
    // starts afterwards, so they are only ever read from the descriptor.
    // Call it first thing in main, before Qt starts threads of its own.
    static int block();

    // Watches the descriptor from block() on the user-interface thread.
    explicit CloseSignals(int fd);
    ~CloseSignals();
    CloseSignals(const CloseSignals&) = delete;
    CloseSignals& operator=(const CloseSignals&) = delete;

private:
    int fd_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace vantrel::qt
