// A recording stand-in for the user-interface services: the notify icon,
// the main window with its timers, the worker start, the menu and the
// dialogs. Tests fire timers, choose menu items and act inside dialogs.
// Icon requests and timers may come from a worker thread; read them after
// the workers are joined.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace vantrel::fake {

struct IconRequest {
    uint32_t request;
    platform::IconRecord record;
};

// Timers armed, as (id, ms), in order.
using TimerLog = std::vector<std::pair<uintptr_t, uint32_t>>;

struct DialogState {
    bool ended = false;
    std::map<int, std::string> texts;
    std::map<int, int> checks;
    std::map<int, std::vector<std::string>> lists;
    std::map<int, int> selections;
};

struct Ui {
    std::vector<IconRequest> iconRequests;
    std::vector<std::pair<int32_t, uint32_t>> loads;  // (total, level) shown, in order
    bool createFails = false;
    platform::WindowProc proc = nullptr;
    bool windowAlive = false;
    int quitCode = -1;
    std::map<uintptr_t, uint32_t> armedTimers;  // id -> ms
    TimerLog timerLog;

    // Workers run inline, or are kept for run_pending_worker, or run on
    // threads of their own; a failing start starts nothing.
    bool runWorkersInline = true;
    bool threadedWorkers = false;
    bool workerStartFails = false;
    int workersStarted = 0;

    std::vector<std::string> lastMenu;  // its items as "id flags text"
    int menusDestroyed = 0;
    uint32_t menuChoice = 0;  // the id chosen from a menu; 0: none

    std::function<void(platform::WindowHandle, int templateId)> whileDialogOpen;
    // Runs inside each icon request, as messages sent to the window then do.
    std::function<void()> whileIconRequest;
    std::map<platform::WindowHandle, DialogState> dialogs;
    std::vector<int> dialogsOpened;  // template ids, in order
    std::vector<platform::WindowHandle> foregrounded;
    std::vector<std::pair<std::string, std::string>> messageBoxes;  // text, caption
    std::string chooserResult;  // empty: the user cancels
};

Ui& ui();
void reset_ui();
platform::WindowHandle main_window_handle();

// Delivers an expiry of timer id to the main window if it is armed.
bool fire_timer(uintptr_t id);

void run_pending_worker();
void join_workers();
DialogState& dialog(platform::WindowHandle handle);

}  // namespace vantrel::fake
