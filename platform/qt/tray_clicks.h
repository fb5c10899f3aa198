// Turns the tray icon's activations into the mouse messages of its
// notifications, by who draws the icon.
//
// In an XEmbed notification area Qt draws the icon and sees the clicks:
// a right click opens the icon's context menu (platform/qt/menus.h), which
// is the shell's menu, a left click and a double-click go to the shell. Qt
// reports the first press of a double-click as a click of its own, so a
// left click is held back for the double-click interval and dropped when
// the double-click follows: a double-click opens the settings dialog without
// the menu of its first click flashing up first; a right click drops it too.
// Holding the click back departs from the documented handling, which opens
// the menu at the release at once.
//
// Where a StatusNotifierItem host draws the icon (KDE Plasma, GNOME's
// AppIndicator extension, xfce4-panel's status tray, waybar; on X11 and
// Wayland alike), the host draws the menu too, from the one the icon
// exports, and it sends no double-click: Plasma sends two activations for
// one, GNOME's extension an activation for a double-click alone. There the
// host's activation (a left click) opens the settings dialog, the menu's
// first item and the double-click's action, its secondary activation (a
// middle click) does nothing, and no menu of the program's own is shown: one
// would come up beside the host's menu, or on Wayland as a stray window
// away from the icon. This departs from the documented rule that a left
// click opens the menu, because the host shows the menu itself.
#pragma once

#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdint>
#include <functional>

namespace vantrel::qt {

class TrayClicks {
public:
    // notify receives kMsgLButtonUp or kMsgLButtonDblClk; hostDrawsIcon
    // tells, at each activation, whether a StatusNotifierItem host draws the
    // icon.
    TrayClicks(std::function<void(uint32_t mouseMessage)> notify, std::function<bool()> hostDrawsIcon);

    void activated(QSystemTrayIcon::ActivationReason reason);

    // Forgets a left click still held back.
    void cancel();

private:
    std::function<void(uint32_t)> notify_;
    std::function<bool()> hostDrawsIcon_;
    QTimer heldClick_;
    uint32_t heldMessage_ = 0;
};

}  // namespace vantrel::qt
