// How the tray icon reaches the user: the desktop's notification area, or the
// terminal where there is none.
//
// notify_icon turns each request about the icon into one of these calls on
// the user-interface thread. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace vantrel::qt {

// Where the icon's mouse notifications go: the window, its message and the
// icon's id (the first message parameter).
struct IconTarget {
    platform::WindowHandle window;
    uint32_t message;
    uint32_t iconId;
};

class Presentation {
public:
    virtual ~Presentation() = default;

    virtual void add(const IconTarget& target, platform::IconHandle icon, std::string_view tooltip) = 0;
    virtual void remove() = 0;
    virtual void set_tooltip(std::string_view text) = 0;
    // kind: platform::kBalloonInfo (a notice) or platform::kBalloonWarning.
    virtual void show_balloon(std::string_view title, std::string_view text, uint32_t kind) = 0;
    // The machine's total and its level (platform::show_load), kept for the
    // icon's picture whether or not the icon is shown.
    virtual void show_load(int32_t total, uint32_t level) = 0;
};

// The presentation that requests go to (not owned); nullptr drops them.
void use_presentation(Presentation* presentation);

}  // namespace vantrel::qt
