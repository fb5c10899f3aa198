// The popup menu of the tray icon.
#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QMetaObject>

#include <map>
#include <memory>

#include "platform/platform.h"
#include "platform/qt/utf8_text.h"
#include "platform/qt/widgets_available.h"

namespace vantrel::qt {

namespace {

std::map<uintptr_t, std::unique_ptr<QMenu>> menus;
uintptr_t lastMenu = 0;

QMenu* find_menu(platform::MenuHandle handle) {
    const auto it = menus.find(reinterpret_cast<uintptr_t>(handle));
    return it == menus.end() ? nullptr : it->second.get();
}

}  // namespace

}  // namespace vantrel::qt

namespace vantrel::platform {

MenuHandle create_popup_menu() {
    if (!qt::widgets_available()) return nullptr;
    qt::menus.emplace(++qt::lastMenu, std::make_unique<QMenu>());
    return reinterpret_cast<MenuHandle>(qt::lastMenu);
}

void append_menu(MenuHandle menu, uint32_t flags, uint32_t id, const char* text) {
    QMenu* qmenu = qt::find_menu(menu);
    if (qmenu == nullptr) return;
    if ((flags & kMenuSeparator) != 0) {
        qmenu->addSeparator();
        return;
    }
    QAction* action = qmenu->addAction(qt::from_utf8(text != nullptr ? text : ""));
    action->setData(id);
    if ((flags & kMenuChecked) != 0) {
        action->setCheckable(true);
        action->setChecked(true);
    }
}

Point cursor_pos() {
    if (!qt::widgets_available()) return {0, 0};
    const QPoint at = QCursor::pos();
    return {at.x(), at.y()};
}

// The chosen item's id reaches the owner once the menu has closed, as a
// posted message would.
void track_popup_menu(MenuHandle menu, int x, int y, WindowHandle owner) {
    QMenu* qmenu = qt::find_menu(menu);
    if (qmenu == nullptr) return;
    const QAction* chosen = qmenu->exec(QPoint(x, y));
    if (chosen == nullptr) return;
    const uintptr_t id = chosen->data().toUInt();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [owner, id] { send_message(owner, kMsgCommand, id, 0); },
        Qt::QueuedConnection);
}

void destroy_menu(MenuHandle menu) { qt::menus.erase(reinterpret_cast<uintptr_t>(menu)); }

}  // namespace vantrel::platform
