// The tray icon's notifications and the commands of its popup menu.
#pragma once

#include <cstdint>

namespace vantrel {

// A click with either button opens the menu at the cursor; a left
// double-click opens the settings dialog. wparam is the icon id (unused),
// lparam the mouse message.
void handle_tray_notify(uintptr_t wparam, intptr_t lparam);

// Carries out the command in the low 16 bits of wparam. Always 0.
intptr_t handle_command(uintptr_t wparam, intptr_t lparam);

}  // namespace vantrel
