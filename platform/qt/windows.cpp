// The hidden main window and the messages sent to windows.
//
// The main window has no widget: it is its handler, its timers and the owner
// of the tray icon and the dialogs.
#include <QGuiApplication>

#include "platform/platform.h"
#include "platform/qt/icon_resources.h"
#include "platform/qt/template_dialog.h"
#include "platform/qt/ui_requests.h"
#include "platform/qt/window_activation.h"
#include "platform/qt/widgets_available.h"
#include "platform/qt/window_records.h"

namespace vantrel::qt {

namespace {

platform::WindowProc mainWindowProc = nullptr;

}  // namespace

}  // namespace vantrel::qt

namespace vantrel::platform {

bool register_main_window_class(InstanceHandle /*instance*/, WindowProc proc) {
    if (proc == nullptr || QCoreApplication::instance() == nullptr) return false;
    qt::attach_ui_thread();
    qt::mainWindowProc = proc;
    // The class icon: the icon of every window of the program.
    if (qt::widgets_available()) QGuiApplication::setWindowIcon(qt::program_icon());
    return true;
}

WindowHandle create_main_window(InstanceHandle /*instance*/) {
    if (qt::mainWindowProc == nullptr) return nullptr;
    const WindowHandle window = qt::add_window({.proc = qt::mainWindowProc});
    qt::set_main_window(window);
    qt::mainWindowProc(window, kMsgCreate, 0, 0);
    return window;
}

intptr_t send_message(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    const qt::WindowRecord* record = qt::live_window(window);
    return record == nullptr ? 0 : record->proc(window, message, wparam, lparam);
}

intptr_t default_window_proc(WindowHandle window, uint32_t message, uintptr_t /*wparam*/,
                             intptr_t /*lparam*/) {
    if (message == kMsgClose) qt::destroy_window(window);
    return 0;
}

void set_foreground_window(WindowHandle window) {
    const qt::WindowRecord* record = qt::live_window(window);
    if (record == nullptr || record->dialog == nullptr) return;
    qt::bring_to_front(record->dialog);
}

}  // namespace vantrel::platform
