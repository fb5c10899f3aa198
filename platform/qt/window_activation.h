// Bringing the program's windows to the front, with the keyboard focus, when
// the user asked for them: from the tray icon or its menu, a launcher's
// action, or a second start.
//
// Desktops keep programs from taking the focus on their own. A program that
// acts on a request made through another program (a launcher, the panel, a
// command line) shows that the user asked by passing on what that program
// received: an activation token on Wayland (xdg-activation), a startup id on
// X11, whose time stamp dates the request. Launchers give them to the
// program they start (XDG_ACTIVATION_TOKEN, DESKTOP_STARTUP_ID) or, when
// they start it over the bus, in the platform data of the call
// ("activation-token", "desktop-startup-id"). Without one, a window on X11
// is activated with the X server's current time, which stands for a request
// made just now; on Wayland the desktop decides (GNOME then marks the
// window as asking for attention).
#pragma once

#include <QString>

class QWidget;

namespace vantrel::qt {

struct LaunchToken {
    QString activationToken;  // Wayland
    QString startupId;        // X11

    bool empty() const { return activationToken.isEmpty() && startupId.isEmpty(); }
};

// The token this process was started with, taken out of its environment so
// that nothing else uses it up. Call before the application object exists
// (Qt's X11 platform takes DESKTOP_STARTUP_ID for its first window).
LaunchToken take_launch_token();

// The token to use for the next window brought to the front; one token is
// good for one activation.
void expect_activation(const LaunchToken& token);

// Shows the window, raises it and asks for the focus for it.
void bring_to_front(QWidget* window);

}  // namespace vantrel::qt
