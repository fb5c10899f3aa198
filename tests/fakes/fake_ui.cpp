#include "tests/fakes/fake_ui.h"

#include <mutex>
#include <thread>

#include "text/code_page.h"

namespace vantrel::fake {

namespace {

Ui state;
std::mutex lock;  // what a worker may touch: icon requests and timers
std::vector<std::thread> threads;
void (*pendingWorker)() = nullptr;
std::map<platform::WindowHandle, platform::WindowProc> dialogProcs;
uintptr_t lastHandle = 0x1000;
const auto kMainWindow = reinterpret_cast<platform::WindowHandle>(0x100);

}  // namespace

Ui& ui() { return state; }

void reset_ui() {
    join_workers();
    state = Ui();
    pendingWorker = nullptr;
    dialogProcs.clear();
}

platform::WindowHandle main_window_handle() { return kMainWindow; }

bool fire_timer(uintptr_t id) {
    {
        std::lock_guard<std::mutex> guard(lock);
        if (!state.windowAlive || state.armedTimers.count(id) == 0) return false;
    }
    state.proc(kMainWindow, platform::kMsgTimer, id, 0);
    return true;
}

void run_pending_worker() {
    if (auto* fn = std::exchange(pendingWorker, nullptr)) fn();
}

void join_workers() {
    for (std::thread& t : threads) t.join();
    threads.clear();
}

DialogState& dialog(platform::WindowHandle handle) { return state.dialogs[handle]; }

}  // namespace vantrel::fake

namespace vantrel::platform {

using fake::state;

// The sizes of the Windows records in the 32-bit layout.
uint32_t icon_record_size() { return 488; }
uint32_t file_chooser_record_size() { return 76; }

bool notify_icon(uint32_t request, const IconRecord& record) {
    std::unique_lock<std::mutex> guard(fake::lock);
    state.iconRequests.push_back({request, record});
    guard.unlock();
    if (fake::ui().whileIconRequest) fake::ui().whileIconRequest();
    return true;
}

void show_load(int32_t total, uint32_t level) {
    std::lock_guard<std::mutex> guard(fake::lock);
    state.loads.emplace_back(total, level);
}

IconHandle load_icon(InstanceHandle, int) { return nullptr; }

bool register_main_window_class(InstanceHandle, WindowProc proc) {
    state.proc = proc;
    return true;
}

WindowHandle create_main_window(InstanceHandle) {
    if (state.createFails) return nullptr;
    state.windowAlive = true;
    state.proc(fake::kMainWindow, kMsgCreate, 0, 0);
    return fake::kMainWindow;
}

intptr_t send_message(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (window == fake::kMainWindow) return state.windowAlive ? state.proc(window, message, wparam, lparam) : 0;
    const auto it = fake::dialogProcs.find(window);
    return it == fake::dialogProcs.end() ? 0 : it->second(window, message, wparam, lparam);
}

intptr_t default_window_proc(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
    if (window != fake::kMainWindow || message != kMsgClose || !state.windowAlive) return 0;
    state.proc(window, kMsgDestroy, 0, 0);
    std::lock_guard<std::mutex> guard(fake::lock);
    state.windowAlive = false;
    state.armedTimers.clear();
    return 0;
}

void post_quit_message(int exit_code) { state.quitCode = exit_code; }
int run_message_loop() { return 0; }

void set_timer(WindowHandle, uintptr_t id, uint32_t ms) {
    std::lock_guard<std::mutex> guard(fake::lock);
    if (!state.windowAlive) return;
    state.armedTimers[id] = ms;
    state.timerLog.emplace_back(id, ms);
}

void kill_timer(WindowHandle, uintptr_t id) {
    std::lock_guard<std::mutex> guard(fake::lock);
    state.armedTimers.erase(id);
}

bool start_worker(void (*fn)()) {
    if (state.workerStartFails) return false;
    ++state.workersStarted;
    if (state.threadedWorkers) {
        fake::threads.emplace_back(fn);
    } else if (state.runWorkersInline) {
        fn();
    } else {
        fake::pendingWorker = fn;
    }
    return true;
}

void set_foreground_window(WindowHandle window) { state.foregrounded.push_back(window); }

MenuHandle create_popup_menu() {
    state.lastMenu.clear();
    return reinterpret_cast<MenuHandle>(&state.lastMenu);
}

void append_menu(MenuHandle, uint32_t flags, uint32_t id, const char* text) {
    state.lastMenu.push_back(std::to_string(id) + " " + std::to_string(flags) + " " + (text != nullptr ? text : ""));
}

Point cursor_pos() { return {640, 480}; }

void track_popup_menu(MenuHandle, int, int, WindowHandle owner) {
    if (state.menuChoice != 0) send_message(owner, kMsgCommand, state.menuChoice, 0);
}

void destroy_menu(MenuHandle) { ++state.menusDestroyed; }

intptr_t dialog_box(InstanceHandle, int template_id, WindowHandle, WindowProc proc) {
    const auto handle = reinterpret_cast<WindowHandle>(fake::lastHandle += 0x10);
    fake::dialogProcs[handle] = proc;
    state.dialogsOpened.push_back(template_id);
    proc(handle, kMsgInitDialog, 0, 0);
    if (state.whileDialogOpen) state.whileDialogOpen(handle, template_id);
    // A dialog the test left open is destroyed, as it would be at exit.
    if (!state.dialogs[handle].ended) proc(handle, kMsgDestroy, 0, 0);
    return 1;
}

void end_dialog(WindowHandle d, intptr_t) { fake::dialog(d).ended = true; }
void set_item_text(WindowHandle d, int id, const char* text) { fake::dialog(d).texts[id] = text; }
void check_button(WindowHandle d, int id, int checked) { fake::dialog(d).checks[id] = checked; }
bool is_button_checked(WindowHandle d, int id) { return fake::dialog(d).checks[id] == 1; }
void select_all_text(WindowHandle, int) {}
void focus_item(WindowHandle, int) {}
std::size_t get_item_text(WindowHandle d, int id, char* buf, std::size_t cap) {
    return copy_cut(system_code_page(), buf, cap, fake::dialog(d).texts[id]);
}
void list_delete_entry(WindowHandle d, int id, int at) {
    auto& entries = fake::dialog(d).lists[id];
    if (at >= 0 && at < static_cast<int>(entries.size())) entries.erase(entries.begin() + at);
}
void list_insert_entry(WindowHandle d, int id, int at, const char* text) {
    auto& entries = fake::dialog(d).lists[id];
    entries.insert(entries.begin() + at, text);
}
void list_select(WindowHandle d, int id, int at) {
    const int size = static_cast<int>(fake::dialog(d).lists[id].size());
    fake::dialog(d).selections[id] = at >= 0 && at < size ? at : -1;
}
int list_selection(WindowHandle d, int id) {
    const auto& sel = fake::dialog(d).selections;
    return sel.count(id) != 0 ? sel.at(id) : -1;
}

void message_box(WindowHandle, const char* text, const char* caption) { state.messageBoxes.push_back({text, caption}); }

bool get_save_file_name(FileChooser& chooser) {
    if (state.chooserResult.empty()) return false;
    copy_bytes(chooser.file, chooser.maxFile + 1, state.chooserResult);
    return true;
}

}  // namespace vantrel::platform
