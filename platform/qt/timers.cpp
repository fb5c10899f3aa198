#include "platform/qt/timers.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QTimerEvent>

#include <algorithm>
#include <chrono>
#include <map>
#include <utility>

#include "platform/qt/ui_requests.h"
#include "platform/qt/window_records.h"

namespace vantrel::qt {

namespace {

// The shortest delay Windows grants a timer.
constexpr uint32_t kMinimumDelayMs = 10;
constexpr uint32_t kMaximumDelayMs = 0x7FFFFFFF;

// Holds the Qt timers of all windows. Qt timers started on one object can be
// stopped anywhere, also from inside their own expiry, which a window's
// handler does at every tick.
class TimerHost final : public QObject {
public:
    using QObject::QObject;

    void arm(platform::WindowHandle window, uintptr_t id, uint32_t ms) {
        disarm(window, id);
        const auto delay = std::chrono::milliseconds(std::clamp(ms, kMinimumDelayMs, kMaximumDelayMs));
        const int qtId = startTimer(delay);
        if (qtId == 0) return;
        byKey_[{window, id}] = qtId;
        byQtId_[qtId] = {window, id};
    }

    void disarm(platform::WindowHandle window, uintptr_t id) {
        const auto it = byKey_.find({window, id});
        if (it == byKey_.end()) return;
        killTimer(it->second);
        byQtId_.erase(it->second);
        byKey_.erase(it);
    }

    void disarm_all(platform::WindowHandle window) {
        for (auto it = byKey_.begin(); it != byKey_.end();) {
            if (it->first.first == window) {
                killTimer(it->second);
                byQtId_.erase(it->second);
                it = byKey_.erase(it);
            } else {
                ++it;
            }
        }
    }

protected:
    void timerEvent(QTimerEvent* event) override {
        const auto it = byQtId_.find(event->timerId());
        if (it == byQtId_.end()) return;
        const auto [window, id] = it->second;
        platform::send_message(window, platform::kMsgTimer, id, 0);
    }

private:
    using Key = std::pair<platform::WindowHandle, uintptr_t>;
    std::map<Key, int> byKey_;
    std::map<int, Key> byQtId_;
};

QPointer<TimerHost> host;

TimerHost* timer_host() {
    if (host.isNull() && QCoreApplication::instance() != nullptr)
        host = new TimerHost(QCoreApplication::instance());
    return host.data();
}

}  // namespace

void disarm_timers(platform::WindowHandle window) {
    if (TimerHost* timers = timer_host()) timers->disarm_all(window);
}

}  // namespace vantrel::qt

namespace vantrel::platform {

void set_timer(WindowHandle window, uintptr_t id, uint32_t ms) {
    qt::run_on_ui_thread([window, id, ms] {
        qt::TimerHost* timers = qt::timer_host();
        if (timers != nullptr && qt::live_window(window) != nullptr) timers->arm(window, id, ms);
    });
}

void kill_timer(WindowHandle window, uintptr_t id) {
    qt::run_on_ui_thread([window, id] {
        if (qt::TimerHost* timers = qt::timer_host()) timers->disarm(window, id);
    });
}

}  // namespace vantrel::platform
