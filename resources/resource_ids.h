// The numbers of the program's resources: the icon, the two dialog
// templates and the ids of their controls, and the commands of the tray
// menu. Shared by the code, the dialog templates and each platform's
// presentation of them (a second start sends the settings command).
#pragma once

#include <cstdint>

namespace vantrel {

inline constexpr int kIconResource = 105;
inline constexpr int kSettingsDialogTemplate = 192;
inline constexpr int kAboutDialogTemplate = 193;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kNoControlId = 65535;

// Settings dialog.
inline constexpr int IDC_ALLUSAGE = 1667;
inline constexpr int IDC_ALLUSAGEINFO = 1668;
inline constexpr int IDC_EACHUSAGE = 1669;
inline constexpr int IDC_INTERVALSEC = 1670;
inline constexpr int IDC_IGNOREPROC = 1671;
inline constexpr int IDC_ALLCOUNT = 1672;
inline constexpr int IDC_ALLINFOCNT = 1673;
inline constexpr int IDC_ALLENABLE = 1674;
inline constexpr int IDC_ALLINFOENABLE = 1675;
inline constexpr int IDC_EACHENABLE = 1676;
inline constexpr int IDC_WRITELOGFILE = 1677;
inline constexpr int IDC_LOGFILENAME = 1678;
inline constexpr int IDC_CHOOSELOG = 1679;

// About box.
inline constexpr int IDC_ABOUTTEXT = 1061;

// Commands of the tray menu.
inline constexpr uint32_t CMD_EXIT = 40003;
inline constexpr uint32_t CMD_SETTINGS = 40004;
inline constexpr uint32_t CMD_ABOUT = 40005;
inline constexpr uint32_t CMD_TOGGLE_TOTAL_WARNING = 40011;
inline constexpr uint32_t CMD_TOGGLE_TOTAL_NOTICE = 40012;
inline constexpr uint32_t CMD_TOGGLE_PROCESS_WARNING = 40013;

}  // namespace vantrel
