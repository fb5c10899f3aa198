// The hand-over of a second start to the copy that runs. The copy that runs
// owns a mutex of the session for its whole life; ownership is the atomic
// step, so of two starts at once exactly one runs. A later start looks for
// the running copy's hidden window and asks it whether it takes the start:
// if so, the running copy opens its settings dialog and the start ends; if
// its exit is under way, the start waits for it to end and then runs in its
// place, so that a start in the moments after Exit is not lost. Departs
// from the documented start, which lets copies run side by side: each would
// write the settings file at its exit, and the later save would undo the
// other's changes.
#include "platform/win32/running_copy.h"

#include <string_view>

#include "platform/win32/handles.h"
#include "platform/win32/settings_lock.h"
#include "resources/resource_ids.h"
#include "text/code_page.h"

namespace vantrel::win32 {

namespace {

// Named in the session's own name space: each signed-in user runs a copy.
constexpr char kMutexName[] = "Local\\org.vantrel.Vantrel";

// How long the running copy has to answer; it answers from its message loop
// at once, also while a dialog of its own is open.
constexpr UINT kAnswerMs = 2000;

// How long a start waits for the running copy to make its window, to answer
// or to finish ending, before it gives up, and how often it looks.
constexpr DWORD kWaitMs = 10000;
constexpr DWORD kTryMs = 50;

// True when the running copy took the start.
bool ask(HWND running) {
    // Lets the running copy bring its dialog to the front, which Windows
    // refuses to a process that is not in the foreground.
    DWORD process = 0;
    GetWindowThreadProcessId(running, &process);
    AllowSetForegroundWindow(process);
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(running, kMsgHandOverRequest, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &answer) == 0)
        return false;  // no answer: it may be ending
    return static_cast<LRESULT>(answer) == kAnswerTaken;
}

// The settings folder: the executable's, named as the settings file names it.
bool settings_folder(char (&folder)[MAX_PATH]) {
    const std::size_t length = platform::executable_path(folder, sizeof folder);
    const std::size_t sep = find_last_char(platform::system_code_page(), std::string_view(folder, length),
                                           platform::directory_separator());
    if (length == 0 || sep == std::string_view::npos) return false;
    folder[sep + 1] = '\0';
    return true;
}

}  // namespace

bool hand_over_to_running_copy() {
    // Never closed: the system releases it when the process ends.
    const HANDLE session = CreateMutexA(nullptr, FALSE, kMutexName);
    if (session == nullptr) return false;
    const DWORD start = GetTickCount();
    bool copyRan = false;
    HWND asked = nullptr;
    for (;;) {
        const DWORD wait = WaitForSingleObject(session, kTryMs);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) break;
        copyRan = true;
        // A copy that neither answers nor ends keeps the settings file to
        // itself.
        if (GetTickCount() - start >= kWaitMs) return true;
        const HWND running = find_main_window();
        if (running == nullptr || running == asked) continue;
        asked = running;
        if (ask(running)) return true;
    }
    // This start is the session's copy. A copy of another session on the
    // same folder ends it at once; a copy of this session that has just
    // ended lets go of the folder in a moment.
    char folder[MAX_PATH];
    if (!settings_folder(folder)) return false;
    const DWORD waited = GetTickCount() - start;
    const DWORD grace = copyRan && waited < kWaitMs ? kWaitMs - waited : kTryMs;
    return take_folder_lock(folder, grace) == FolderLock::HeldElsewhere;
}

void mark_main_window(HWND window) { SetPropA(window, kMainWindowMark, reinterpret_cast<HANDLE>(1)); }

void unmark_main_window(HWND window) { RemovePropA(window, kMainWindowMark); }

bool answer_hand_over(HWND window, UINT message, platform::WindowProc proc, LRESULT* result) {
    if (message != kMsgHandOverRequest) return false;
    // An Exit chosen in the menu a moment ago may still wait in the queue:
    // its exit is under way too.
    MSG queued;
    const bool exitQueued = PeekMessageA(&queued, window, WM_COMMAND, WM_COMMAND, PM_NOREMOVE) != 0 &&
                            LOWORD(queued.wParam) == CMD_EXIT;
    if (exitQueued || proc(win32::window(window), platform::kMsgHandOver, 0, 0) != 1) {
        *result = kAnswerExiting;
        return true;
    }
    // Posted to this window, not carried out here: the dialog is modal, and
    // the start that asked must not wait for it. Only what already waits in
    // the queue comes before it, and an Exit there was seen above.
    PostMessageA(window, WM_COMMAND, CMD_SETTINGS, 0);
    *result = kAnswerTaken;
    return true;
}

}  // namespace vantrel::win32
