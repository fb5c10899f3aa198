// Window timers with the Windows rules: an armed timer delivers kMsgTimer with
// its id to the window's handler after its delay and again after every
// further delay until it is disarmed; arming an armed id replaces its expiry.
#pragma once

#include "platform/platform.h"

namespace vantrel::qt {

// Disarms every timer of the window (when it is destroyed).
void disarm_timers(platform::WindowHandle window);

}  // namespace vantrel::qt
