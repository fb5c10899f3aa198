// The popup menu of the tray icon.
#include "platform/qt/menus.h"

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
QMenu* capture = nullptr;  // the context menu being filled, if any

QMenu* find_menu(platform::MenuHandle handle) {
    const auto it = menus.find(reinterpret_cast<uintptr_t>(handle));
    return it == menus.end() ? nullptr : it->second.get();
}

// The chosen item's id reaches the owner once the menu has closed, as a
// posted message would.
void post_command(platform::WindowHandle owner, uintptr_t id) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [owner, id] { platform::send_message(owner, platform::kMsgCommand, id, 0); },
        Qt::QueuedConnection);
}

// Whether two menus hold items of the same kinds in the same order.
bool same_shape(const QList<QAction*>& a, const QList<QAction*>& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i]->isSeparator() != b[i]->isSeparator()) return false;
    }
    return true;
}

// Makes the context menu show the items of the shell's menu. Its items are
// kept where the shape is unchanged and only their texts and check marks
// follow, so that a notification area drawing the menu from an earlier
// layout still names the same items. Each item's data is the owner and the
// command id.
void fill(QMenu& into, const QMenu& from, platform::WindowHandle owner) {
    const QList<QAction*> items = from.actions();
    if (!same_shape(into.actions(), items)) {
        into.clear();
        for (const QAction* item : items) {
            QAction* copy = item->isSeparator() ? into.addSeparator() : into.addAction(QString());
            QObject::connect(copy, &QAction::triggered, copy, [copy] {
                const QVariantList choice = copy->data().toList();
                post_command(reinterpret_cast<platform::WindowHandle>(choice.value(0).value<quintptr>()),
                             choice.value(1).toUInt());
            });
        }
    }
    const QList<QAction*> copies = into.actions();
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i]->isSeparator()) continue;
        copies[i]->setText(items[i]->text());
        copies[i]->setCheckable(items[i]->isCheckable());
        copies[i]->setChecked(items[i]->isChecked());
        copies[i]->setData(QVariantList{QVariant::fromValue(reinterpret_cast<quintptr>(owner)), items[i]->data()});
    }
}

}  // namespace

MenuCapture::MenuCapture(QMenu& into) : previous_(capture) { capture = &into; }

MenuCapture::~MenuCapture() { capture = previous_; }

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

void track_popup_menu(MenuHandle menu, int x, int y, WindowHandle owner) {
    QMenu* qmenu = qt::find_menu(menu);
    if (qmenu == nullptr) return;
    if (qt::capture != nullptr) {
        qt::fill(*qt::capture, *qmenu, owner);
        return;
    }
    const QAction* chosen = qmenu->exec(QPoint(x, y));
    if (chosen != nullptr) qt::post_command(owner, chosen->data().toUInt());
}

void destroy_menu(MenuHandle menu) { qt::menus.erase(reinterpret_cast<uintptr_t>(menu)); }

}  // namespace vantrel::platform
