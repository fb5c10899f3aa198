// Names and numbers that the shell, the tray and the dialogs share.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace vantrel {

inline constexpr const char* kProductName = "Vantrel";

// The tray icon's notification message and its icon id.
inline constexpr uint32_t WM_TRAYNOTIFY = platform::kMsgUser + 100;
inline constexpr uint32_t kTrayIconId = 1;

// One-shot timers of the main window.
inline constexpr uintptr_t MonitorTimer = 1701;
inline constexpr uintptr_t BalloonIconTimer = 1702;

// Commands of the tray menu.
inline constexpr uint32_t CMD_EXIT = 40003;
inline constexpr uint32_t CMD_SETTINGS = 40004;
inline constexpr uint32_t CMD_ABOUT = 40005;
inline constexpr uint32_t CMD_TOGGLE_TOTAL_WARNING = 40011;
inline constexpr uint32_t CMD_TOGGLE_TOTAL_NOTICE = 40012;
inline constexpr uint32_t CMD_TOGGLE_PROCESS_WARNING = 40013;

// The program's module instance and its hidden main window, process-wide.
extern platform::InstanceHandle appInstance;
extern platform::WindowHandle mainWindow;

}  // namespace vantrel
