// Turns the tray icon's activations into the mouse messages of its
// notifications: a left click and a double-click. A right click opens the
// icon's context menu (platform/qt/menus.h), which is the shell's menu.
//
// Qt reports the first press of a double-click as a click of its own. A left
// click is therefore held back for the double-click interval and dropped when
// the double-click follows, so a double-click opens the settings dialog
// without the menu of its first click flashing up first; a right click drops
// it too. Holding the click back departs from the documented handling, which
// opens the menu at the release at once.
//
// On Wayland the notification area (a StatusNotifierItem host) sends no
// double-click, and the program cannot show a menu beside an icon that
// another program draws: a popup needs a window of the program's to hang
// from, so the shell's menu would come up as a window of its own. There a
// left click (the host's Activate) stands for the double-click and opens the
// settings dialog, the menu's first item; the menu itself is the one that
// the host draws on a right click. This departs from the documented rule
// that a left click opens the menu, because on Wayland that menu could only
// be a stray window.
#pragma once

#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdint>
#include <functional>

namespace vantrel::qt {

class TrayClicks {
public:
    // notify receives kMsgLButtonUp or kMsgLButtonDblClk; without
    // doubleClicks (Wayland) a left click is sent as kMsgLButtonDblClk.
    TrayClicks(std::function<void(uint32_t mouseMessage)> notify, bool doubleClicks);

    void activated(QSystemTrayIcon::ActivationReason reason);

    // Forgets a left click still held back.
    void cancel();

private:
    std::function<void(uint32_t)> notify_;
    bool doubleClicks_;
    QTimer heldClick_;
};

}  // namespace vantrel::qt
