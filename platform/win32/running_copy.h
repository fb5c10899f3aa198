// One Vantrel per session, and one per settings folder: a second start hands
// over to the copy that runs.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace vantrel::win32 {

// True when this start should end at once, with exit code 0, without
// touching the settings file: another copy runs in this session and has
// taken the start (it opens its settings dialog), or neither answers nor
// ends; or a copy in another session keeps its settings in this folder.
// False when this start is the one that runs; it then holds the locks that
// tell later starts so, until it ends.
bool hand_over_to_running_copy();

// Marks the main window as the program's own, once it is made, and takes the
// mark away again when it goes (the system wants a window's properties
// removed before it is destroyed).
void mark_main_window(HWND window);
void unmark_main_window(HWND window);

// Answers a later start's request to hand over, with the shell's answer
// (proc, asked with kMsgHandOver), and posts the settings command when the
// shell takes it; true when the message was such a request.
bool answer_hand_over(HWND window, UINT message, platform::WindowProc proc, LRESULT* result);

}  // namespace vantrel::win32
