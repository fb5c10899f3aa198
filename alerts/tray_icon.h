// The tray icon service: the program's one icon in the notification area,
// its tooltip and its balloons. The only code that sends notify-icon
// requests.
//
// With disptrayicon 1 the icon stays from start to Exit; with 0 a balloon
// brings it in for 10 seconds (BalloonIconTimer removes it again). The four
// operations are entered from both threads and serialised by one lock, so
// that iconShown and the balloon timer always match the icon's presence.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace vantrel {

inline constexpr uint32_t kTooltipLimit = 63;
inline constexpr uint32_t kBalloonIconMs = 10000;

// The record of the last add; all zero until then.
extern platform::IconRecord iconRecord;

// 1 from an add request until the next remove.
bool icon_shown();

void add_icon(platform::InstanceHandle instance, platform::WindowHandle window, int iconResource,
              const char* tooltip);
void remove_icon();

// Adds the icon of the last add again if it is shown: the notification area
// it was in has been made anew and lost it.
void restore_icon();

// Shows the first 63 bytes of text as the tooltip.
void set_tooltip(const char* text);

// Shows a balloon of kind kBalloonInfo or kBalloonWarning on the icon, adding the
// temporary icon first when disptrayicon is 0 and none is shown.
void show_balloon(const char* title, const char* message, uint32_t kind);

}  // namespace vantrel
