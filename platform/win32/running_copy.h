// One Vantrel per session: a second start hands over to the copy that runs.
#pragma once

namespace vantrel::win32 {

// True when another copy of the program runs in this session; it has then
// been asked to open its settings dialog, and this start should end without
// touching the settings file. False when this start is the one that runs.
bool hand_over_to_running_copy();

}  // namespace vantrel::win32
