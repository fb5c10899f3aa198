// The services that the portable core calls.
//
// Each platform folder defines these functions once (platform/linux with
// platform/qt for the Linux build; the tests link a fake of their own). The
// core never asks which platform it runs on; it calls these functions.
//
// The shapes follow the Windows services they stand for, so that the Windows
// build can pass them straight through, and report results the same way:
// most results are ignored by the core, and a failure shows as nothing
// happening.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/code_page.h"

namespace vantrel::platform {

// ---------------------------------------------------------------- handles

// Opaque handles; each platform gives them its own meaning.
using InstanceHandle = struct InstanceTag*;
using WindowHandle = struct WindowTag*;
using IconHandle = struct IconTag*;
using MenuHandle = struct MenuTag*;

// ---------------------------------------------------------------- texts

// The code page of the program's byte strings.
CodePage system_code_page();

// ---------------------------------------------------------------- processes

// A process snapshot: the executable names of the running processes, in an
// order in which processes of equal name follow the order of the instance
// numbers that the counter service gives them.
struct ProcessSnapshot;

// Takes a new snapshot; nullptr when none can be taken. The snapshot also
// becomes the process list against which counter paths are resolved.
ProcessSnapshot* snapshot_take();

// The executable file name (with extension, without directory) of the next
// process of the snapshot, or nullptr when there is none. The text stays
// valid until the next call on the same snapshot.
const char* snapshot_next(ProcessSnapshot* snapshot);

void snapshot_close(ProcessSnapshot* snapshot);

// ---------------------------------------------------------------- counters

// One query holding one processor-time counter, named by a path of the form
// "\Process(NAME#K)\% Processor Time" (the K-th process named NAME, without
// its ".exe") or "\Processor(_Total)\% Processor Time" (the machine).
struct CounterQuery;

// Opens a query with the counter of the path. Never nullptr: a counter that
// cannot be attached gives a query whose reading fails.
CounterQuery* counter_open(const char* path);

// Takes one raw sample of the counter.
void counter_collect(CounterQuery* query);

// The percentage between the query's last two samples, as a whole number, in
// *value; false when the counter has no such reading (it could not be
// attached, the process ended, or fewer than two samples were taken).
bool counter_read(CounterQuery* query, int32_t* value);

void counter_close(CounterQuery* query);

// ---------------------------------------------------------------- time

void sleep_ms(uint32_t ms);

struct LocalTime {
    int year;
    int month;   // 1 to 12
    int day;     // 1 to 31
    int hour;    // 0 to 23
    int minute;
    int second;
};

LocalTime local_time();

// ---------------------------------------------------------------- files

// The full path of the executable into buf (cap bytes), terminated; returns
// its length, or 0 when the path cannot be obtained or does not fit. The
// companion files (settings, default log) go in its directory: a platform
// that keeps them elsewhere for some copies (an installed Linux copy, per
// user) gives the path the executable would have in that folder.
std::size_t executable_path(char* buf, std::size_t cap);

// The byte that separates directories in a path.
char directory_separator();

inline constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
inline constexpr uint32_t kAttrReadOnly = 0x1;
inline constexpr uint32_t kAttrHidden = 0x2;

// The attribute bits of a file, or kInvalidFileAttributes when it does not
// exist or cannot be examined.
uint32_t get_file_attributes(const char* path);

// Sets the attribute bits of a file; true on success.
bool set_file_attributes(const char* path, uint32_t attributes);

// Private-profile (INI) access, with the Windows profile functions' rules.
// The value of key in section, converted to a number; def when the file, the
// section or the key is missing.
uint32_t profile_read_int(const char* section, const char* key, int32_t def, const char* path);

// The value text of key in section, one pair of enclosing quotes removed, cut
// to cap - 1 bytes and terminated in out; def when the file, the section or
// the key is missing. Returns the length of the text.
std::size_t profile_read_string(const char* section, const char* key, const char* def, char* out,
                                std::size_t cap, const char* path);

// Sets key in section to value: in place when the key exists, else appended
// at the end of the section; creates the section and the file as needed.
bool profile_write_string(const char* section, const char* key, const char* value,
                          const char* path);

// Opens the file for appending (creating it), writes the bytes in one write
// and closes it. 0 when the file was opened, 1 when it could not be opened
// (a read-only file cannot be opened for appending).
int append_file_bytes(const char* path, const char* bytes, std::size_t length);

// ---------------------------------------------------------------- tray icon

inline constexpr uint32_t kIconAdd = 0;
inline constexpr uint32_t kIconModify = 1;
inline constexpr uint32_t kIconDelete = 2;

inline constexpr uint32_t kIconFlagMessage = 0x1;
inline constexpr uint32_t kIconFlagIcon = 0x2;
inline constexpr uint32_t kIconFlagTip = 0x4;
inline constexpr uint32_t kIconFlagInfo = 0x10;

inline constexpr uint32_t kBalloonInfo = 1;
inline constexpr uint32_t kBalloonWarning = 2;

// The notification-icon record, field for field the Windows record with
// balloon fields.
struct IconRecord {
    uint32_t cbSize;
    WindowHandle hWnd;
    uint32_t uID;
    uint32_t uFlags;
    uint32_t uCallbackMessage;
    IconHandle hIcon;
    char szTip[128];
    uint32_t dwState;
    uint32_t dwStateMask;
    char szInfo[256];
    uint32_t uTimeout;
    char szInfoTitle[64];
    uint32_t dwInfoFlags;
};

// The size of the Windows record with balloon fields in this platform's
// layout, for IconRecord::cbSize (488 bytes in the 32-bit layout).
uint32_t icon_record_size();

// Sends one request (kIconAdd, kIconModify, kIconDelete) about the icon named by
// record.hWnd and record.uID. May be called from any thread.
bool notify_icon(uint32_t request, const IconRecord& record);

// The picture of the program's icon resource for the notification area, at
// the size it is shown there.
IconHandle load_icon(InstanceHandle instance, int resource);

// How the machine's total stands against the thresholds whose balloons are
// switched on: below them, at the notice threshold, at the warning threshold.
inline constexpr uint32_t kLoadNormal = 0;
inline constexpr uint32_t kLoadNotice = 1;
inline constexpr uint32_t kLoadWarning = 2;

// The machine's total of a cycle, 0 to 100, and its level, for a platform
// whose icon shows the load in its picture; a total outside 0 to 100 is no
// reading. The icon record is not changed. May be called from any thread.
void show_load(int32_t total, uint32_t level);

// ---------------------------------------------------------------- windows

// Messages handled by the portable shell; the values are the Windows ones.
inline constexpr uint32_t kMsgCreate = 0x0001;
inline constexpr uint32_t kMsgDestroy = 0x0002;
inline constexpr uint32_t kMsgClose = 0x0010;
inline constexpr uint32_t kMsgInitDialog = 0x0110;
inline constexpr uint32_t kMsgCommand = 0x0111;
inline constexpr uint32_t kMsgTimer = 0x0113;
inline constexpr uint32_t kMsgLButtonUp = 0x0202;
inline constexpr uint32_t kMsgLButtonDblClk = 0x0203;
inline constexpr uint32_t kMsgRButtonUp = 0x0205;
inline constexpr uint32_t kMsgUser = 0x0400;

// Delivered to the main window when the notification area has been made
// anew (the shell restarted), so that an icon it shows can be added again.
// A number of the program's own, into which a platform turns its own notice
// (Windows broadcasts the registered message "TaskbarCreated"); a platform
// whose notification areas take the icon back by themselves never sends it.
inline constexpr uint32_t kMsgNotificationAreaCreated = 0x8000 + 1;

// Asks the main window whether a second start may hand over to it: 1 when
// it takes commands, 0 once its exit is under way (the new start then waits
// for it to end and runs in its place). Only answers; the platform sends the
// command of the hand-over itself, on the same thread, right after a 1.
inline constexpr uint32_t kMsgHandOver = 0x8000 + 2;

using WindowProc = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wparam,
                                intptr_t lparam);

// Registers the hidden main window's class with its message handler; false
// on failure.
bool register_main_window_class(InstanceHandle instance, WindowProc proc);

// Creates the hidden main window; kMsgCreate reaches the handler before this
// returns. nullptr on failure.
WindowHandle create_main_window(InstanceHandle instance);

// Runs the handler of the window for the message before it returns.
intptr_t send_message(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam);

// Default handling; for kMsgClose it destroys the window, which delivers
// kMsgDestroy to its handler (and destroys the dialogs it owns).
intptr_t default_window_proc(WindowHandle window, uint32_t message, uintptr_t wparam,
                             intptr_t lparam);

// Makes the message loop end with the exit code.
void post_quit_message(int exit_code);

// Runs the message loop until the quit message; returns its exit code.
int run_message_loop();

// Arms timer id of the window: kMsgTimer with the id arrives after ms and
// again after every further ms until kill_timer. Arming an armed id replaces
// its expiry. May be called from any thread.
void set_timer(WindowHandle window, uintptr_t id, uint32_t ms);
void kill_timer(WindowHandle window, uintptr_t id);

// Starts fn on a new thread, which ends by itself; false when no thread
// could be started.
bool start_worker(void (*fn)());

// Brings the window to the front.
void set_foreground_window(WindowHandle window);

// ---------------------------------------------------------------- menus

inline constexpr uint32_t kMenuString = 0x0;
inline constexpr uint32_t kMenuChecked = 0x8;
inline constexpr uint32_t kMenuSeparator = 0x800;

struct Point {
    int x;
    int y;
};

MenuHandle create_popup_menu();
void append_menu(MenuHandle menu, uint32_t flags, uint32_t id, const char* text);
Point cursor_pos();

// Shows the menu with its top-left corner at x, y and lets the user choose;
// a click elsewhere closes it. The chosen item's id reaches the owner as
// kMsgCommand; nothing is sent when the menu is closed without a choice.
void track_popup_menu(MenuHandle menu, int x, int y, WindowHandle owner);
void destroy_menu(MenuHandle menu);

// ---------------------------------------------------------------- dialogs

// Runs a modal dialog built from the template with the dialog procedure;
// the owner's messages go on being handled meanwhile. Returns the result
// given to end_dialog.
intptr_t dialog_box(InstanceHandle instance, int template_id, WindowHandle owner, WindowProc proc);

void end_dialog(WindowHandle dialog, intptr_t result);

void set_item_text(WindowHandle dialog, int id, const char* text);

// Copies at most cap - 1 bytes of the control's text into buf, terminated;
// returns the length.
std::size_t get_item_text(WindowHandle dialog, int id, char* buf, std::size_t cap);

void check_button(WindowHandle dialog, int id, int checked);
bool is_button_checked(WindowHandle dialog, int id);

void list_delete_entry(WindowHandle dialog, int id, int position);
void list_insert_entry(WindowHandle dialog, int id, int position, const char* text);

// Selects the entry at position; a position outside the list leaves none
// selected.
void list_select(WindowHandle dialog, int id, int position);

// The position of the selected entry, or -1 when none is selected.
int list_selection(WindowHandle dialog, int id);

void select_all_text(WindowHandle dialog, int id);
void focus_item(WindowHandle dialog, int id);

// A message box modal to the owner, with one OK button and no icon.
void message_box(WindowHandle owner, const char* text, const char* caption);

// The save-file chooser record, as the Windows record without the fields
// that later versions added.
struct FileChooser {
    uint32_t structSize;
    WindowHandle owner;
    const char* filter;   // pairs of display text and pattern, ending with an empty text
    uint32_t filterIndex;
    char* file;           // the file-name buffer
    uint32_t maxFile;     // the usable size of the buffer
    uint32_t flags;
    const char* defExt;
};

inline constexpr uint32_t kChooseOverwritePrompt = 0x2;
inline constexpr uint32_t kChooseHideReadOnly = 0x4;
inline constexpr uint32_t kChooseFileMustExist = 0x1000;
inline constexpr uint32_t kChooseExplorer = 0x80000;

// The size of that record in this platform's layout, for
// FileChooser::structSize (76 bytes in the 32-bit layout).
uint32_t file_chooser_record_size();

// Runs the chooser; when the user accepts, the buffer holds the chosen full
// path; when the user cancels, the buffer is left as it was.
bool get_save_file_name(FileChooser& chooser);

}  // namespace vantrel::platform

namespace vantrel {

// ---------------------------------------------------------------- the program

// What the core gives the platform: the program itself, which each
// platform's entry point runs. Registers and creates the hidden main window
// (which loads the settings, shows the icon and arms the first tick) and runs
// the message loop. Returns the exit code: 0, also when the window cannot be
// made.
int run_application(platform::InstanceHandle instance);

}  // namespace vantrel
