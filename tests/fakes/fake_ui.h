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
#include <vector>

#include "platform/platform.h"

namespace vantrel::fake {

struct IconRequest {
    uint32_t request;
    platform::IconRecord record;
};

struct MenuItem {
    uint32_t flags;
    uint32_t id;
    std::string text;
};

struct DialogState {
    int templateId = 0;
    bool ended = false;
    std::map<int, std::string> texts;
    std::map<int, int> checks;
    std::map<int, std::vector<std::string>> lists;
    std::map<int, int> selections;
    int focus = 0;
    int selectedAll = 0;
};

struct MessageBoxCall {
    platform::WindowHandle owner;
    std::string text;
    std::string caption;
};

struct Ui {
    std::vector<IconRequest> iconRequests;

    // Main window.
    bool registerFails = false;
    bool createFails = false;
    platform::WindowProc proc = nullptr;
    bool windowAlive = false;
    int quitCode = -1;
    std::map<uintptr_t, uint32_t> armedTimers;  // id -> ms
    std::vector<std::pair<uintptr_t, uint32_t>> timerLog;  // every arming, in order

    // Workers: run inline unless threaded; a failing start starts nothing.
    bool workerStartFails = false;
    bool threadedWorkers = false;
    int workersStarted = 0;
    void (*pendingWorker)() = nullptr;  // kept when runWorkersInline is false
    bool runWorkersInline = true;

    // Menu: the items of the last menu shown and the id to choose (0: none).
    std::vector<MenuItem> lastMenu;
    int menusShown = 0;
    int menusDestroyed = 0;
    uint32_t menuChoice = 0;

    // Dialogs: what happens while one is open; the handles and states.
    std::function<void(platform::WindowHandle, int templateId)> whileDialogOpen;
    std::map<platform::WindowHandle, DialogState> dialogs;
    std::vector<int> dialogsOpened;  // template ids, in order
    std::vector<platform::WindowHandle> foregrounded;
    std::vector<MessageBoxCall> messageBoxes;
    std::string chooserResult;  // empty: the user cancels
    int choosersRun = 0;
};

Ui& ui();
void reset_ui();

// The main window created by the shell.
platform::WindowHandle main_window_handle();

// Delivers an expiry of timer id to the main window, as the platform would,
// if the timer is armed; returns whether it was.
bool fire_timer(uintptr_t id);

// Runs the worker kept back when runWorkersInline is false.
void run_pending_worker();

// Joins the worker threads started when threadedWorkers is true.
void join_workers();

// The state of a dialog.
DialogState& dialog(platform::WindowHandle handle);

}  // namespace vantrel::fake
