// Names and numbers that the shell, the tray and the dialogs share.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "resources/resource_ids.h"  // the tray menu's commands

namespace vantrel {

inline constexpr const char* kProductName = "Vantrel";

// The tray icon's notification message and its icon id.
inline constexpr uint32_t WM_TRAYNOTIFY = platform::kMsgUser + 100;
inline constexpr uint32_t kTrayIconId = 1;

// One-shot timers of the main window.
inline constexpr uintptr_t MonitorTimer = 1701;
inline constexpr uintptr_t BalloonIconTimer = 1702;

// The program's module instance and its hidden main window, process-wide.
extern platform::InstanceHandle appInstance;
extern platform::WindowHandle mainWindow;

}  // namespace vantrel
