#include "platform/qt/window_records.h"

#include <QEventLoop>

#include <map>
#include <memory>
#include <vector>

#include "platform/qt/template_dialog.h"
#include "platform/qt/timers.h"

namespace vantrel::qt {

namespace {

std::map<uintptr_t, std::unique_ptr<WindowRecord>> records;
uintptr_t lastHandle = 0;
platform::WindowHandle mainWindow = nullptr;

std::vector<platform::WindowHandle> owned_by(platform::WindowHandle owner) {
    std::vector<platform::WindowHandle> owned;
    for (const auto& [number, record] : records) {
        if (record->owner == owner && record->state == WindowRecord::State::Alive)
            owned.push_back(reinterpret_cast<platform::WindowHandle>(number));
    }
    return owned;
}

}  // namespace

WindowRecord* find_window(platform::WindowHandle window) {
    const auto it = records.find(reinterpret_cast<uintptr_t>(window));
    return it == records.end() ? nullptr : it->second.get();
}

platform::WindowHandle add_window(const WindowRecord& record) {
    records.emplace(++lastHandle, std::make_unique<WindowRecord>(record));
    return reinterpret_cast<platform::WindowHandle>(lastHandle);
}

WindowRecord* live_window(platform::WindowHandle window) {
    WindowRecord* record = find_window(window);
    return record != nullptr && record->state != WindowRecord::State::Dead ? record : nullptr;
}

void forget_window(platform::WindowHandle window) { records.erase(reinterpret_cast<uintptr_t>(window)); }

platform::WindowHandle main_window() { return mainWindow; }

void set_main_window(platform::WindowHandle window) { mainWindow = window; }

void destroy_window(platform::WindowHandle window) {
    WindowRecord* record = find_window(window);
    if (record == nullptr || record->state != WindowRecord::State::Alive) return;
    record->state = WindowRecord::State::Destroying;
    for (platform::WindowHandle owned : owned_by(window)) destroy_window(owned);
    // Records stay put in the map while messages run, so the pointer holds.
    record->proc(window, platform::kMsgDestroy, 0, 0);
    record->state = WindowRecord::State::Dead;
    disarm_timers(window);
    if (record->dialog != nullptr) record->dialog->hide();
    if (record->loop != nullptr) record->loop->exit();
}

}  // namespace vantrel::qt
