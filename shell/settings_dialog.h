// The settings dialog: thresholds with their switches, consecutive-detection
// counts, the monitoring interval, the exclusion list and the usage log.
//
// The dialog procedure holds every decision; the front-end only builds the
// controls from the template and routes their events here.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace vantrel {

// The open settings dialog, or nullptr; keeps the dialog to one instance.
extern platform::WindowHandle openSettingsDialog;

// The save-file chooser behind the "..." button, alive for the whole run.
extern platform::FileChooser logFileChooser;

// Fills logFileChooser; called once while the main window is created.
void prepare_file_chooser();

intptr_t settings_dialog_proc(platform::WindowHandle dialog, uint32_t message, uintptr_t wparam,
                              intptr_t lparam);

}  // namespace vantrel
