// The popup menus of the shell, and the tray icon's context menu.
//
// A right click on the icon opens its context menu: the notification area
// draws it where it draws menus itself (a StatusNotifierItem host, to which
// Qt exports it), and Qt shows it beside an XEmbed icon. Either way it holds
// the shell's own menu: while a MenuCapture lives, the shell's menu is not
// shown by track_popup_menu but handed to the context menu, whose choices
// then reach the owner as the shell's menu's would.
#pragma once

class QMenu;

namespace vantrel::qt {

class MenuCapture {
public:
    explicit MenuCapture(QMenu& into);
    ~MenuCapture();
    MenuCapture(const MenuCapture&) = delete;
    MenuCapture& operator=(const MenuCapture&) = delete;

private:
    QMenu* previous_;
};

}  // namespace vantrel::qt
