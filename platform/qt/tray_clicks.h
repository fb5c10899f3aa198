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
#pragma once

#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdint>
#include <functional>

namespace vantrel::qt {

class TrayClicks {
public:
    // notify receives kMsgLButtonUp or kMsgLButtonDblClk.
    explicit TrayClicks(std::function<void(uint32_t mouseMessage)> notify);

    void activated(QSystemTrayIcon::ActivationReason reason);

    // Forgets a left click still held back.
    void cancel();

private:
    std::function<void(uint32_t)> notify_;
    QTimer heldClick_;
};

}  // namespace vantrel::qt
