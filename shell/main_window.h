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

// The body of the worker thread: one monitor cycle, started with busy set,
// which the cycle clears as its last step.
void monitor_worker();

// run_application, the program itself, is declared with the platform
// services: each platform's entry point calls it.

}  // namespace vantrel
