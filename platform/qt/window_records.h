// The windows of the Qt front-end: the hidden main window and the open
// dialogs, each a record behind an opaque handle.
//
// A handle is a number that is never given out twice, so a handle kept after
// its window has gone finds no record (or a dead one) instead of something
// else. Records live on the user-interface thread only.
#pragma once

#include <cstdint>

#include "platform/platform.h"

class QEventLoop;

namespace vantrel::qt {

class TemplateDialog;

struct WindowRecord {
    enum class State { Alive, Destroying, Dead };

    platform::WindowProc proc = nullptr;
    platform::WindowHandle owner = nullptr;  // the window that owns a dialog
    State state = State::Alive;

    // Dialogs only: the widget (owned by the dialog's modal loop), the loop
    // while it runs, and the result given to end_dialog.
    TemplateDialog* dialog = nullptr;
    QEventLoop* loop = nullptr;
    bool ended = false;
    intptr_t result = 0;
};

platform::WindowHandle add_window(const WindowRecord& record);

// The record of the handle in any state, or nullptr.
WindowRecord* find_window(platform::WindowHandle window);

// The record of a window that can still receive messages (alive, or in the
// middle of its destruction), or nullptr.
WindowRecord* live_window(platform::WindowHandle window);

// Removes a dialog's record once its modal loop is over.
void forget_window(platform::WindowHandle window);

// The hidden main window last created, or nullptr.
platform::WindowHandle main_window();
void set_main_window(platform::WindowHandle window);

// Destroys the window as Windows does: first the dialogs it owns, then the
// window itself receives kMsgDestroy; afterwards its timers are disarmed, a
// dialog is hidden and its modal loop told to end, and messages and timers
// aimed at it are dropped. Nothing happens for a window already destroyed.
void destroy_window(platform::WindowHandle window);

}  // namespace vantrel::qt
