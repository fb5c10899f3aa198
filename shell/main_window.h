// The application shell: the hidden main window's message handling, the
// worker that runs one monitor cycle, and the start of the program.
//
// Portable: each front-end only turns its events into these calls.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace vantrel {

// The message handler of the hidden main window.
intptr_t main_window_proc(platform::WindowHandle window, uint32_t message, uintptr_t wparam,
                          intptr_t lparam);

// The body of the worker thread: one monitor cycle under busy.
void monitor_worker();

// Registers and creates the hidden main window (which loads the settings,
// shows the icon and arms the first tick) and runs the message loop. Returns
// the exit code: 0, also when the window cannot be made.
int run_application(platform::InstanceHandle instance);

}  // namespace vantrel
