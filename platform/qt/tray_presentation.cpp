#include "platform/qt/tray_presentation.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QTimer>

#include "platform/qt/menus.h"
#include "platform/qt/utf8_text.h"

namespace vantrel::qt {

namespace {

// How long Qt shows a balloon beside the icon.
constexpr int kBalloonMs = 10000;

QSystemTrayIcon::MessageIcon balloon_icon(uint32_t kind) {
    switch (kind) {
        case platform::kBalloonInfo:
            return QSystemTrayIcon::Information;
        case platform::kBalloonWarning:
            return QSystemTrayIcon::Warning;
        default:
            return QSystemTrayIcon::NoIcon;
    }
}

}  // namespace

TrayPresentation::TrayPresentation()
    : clicks_([this](uint32_t mouse) { notify(mouse); }, [this] { return !icon_ || icon_->geometry().isEmpty(); }) {
    QObject::connect(&contextMenu_, &QMenu::aboutToShow, &contextMenu_, [this] { fill_context_menu(); });
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        make_icon();
        return;
    }
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    watcherWatch_ = std::make_unique<QDBusServiceWatcher>(watcher, bus, QDBusServiceWatcher::WatchForRegistration);
    QObject::connect(watcherWatch_.get(), &QDBusServiceWatcher::serviceRegistered, watcherWatch_.get(),
                     [this] { make_icon(); });
    if (bus.interface()->isServiceRegistered(watcher)) make_icon();
}

// Once made, the icon follows the notification area by itself: Qt registers
// it again with a watcher that comes back.
void TrayPresentation::make_icon() {
    if (icon_) return;
    icon_ = std::make_unique<QSystemTrayIcon>();
    QObject::connect(icon_.get(), &QSystemTrayIcon::activated, icon_.get(),
                     [this](QSystemTrayIcon::ActivationReason reason) { clicks_.activated(reason); });
    icon_->setContextMenu(&contextMenu_);
    if (!shown_) return;
    icon_->setIcon(picture_);
    icon_->setToolTip(tooltip_);
    icon_->show();
}

void TrayPresentation::add(const IconTarget& target, platform::IconHandle icon, std::string_view tooltip) {
    target_ = target;
    shown_ = true;
    // The program's one icon, icon 105, shows the latest reading.
    picture_ = icon != nullptr ? meter_icon(reading_) : QIcon();
    drawn_ = meter_key(reading_);
    tooltip_ = from_utf8(tooltip);
    // Once the request that adds the icon is over.
    QTimer::singleShot(0, &contextMenu_, [this] { fill_context_menu(); });
    if (!icon_) return;
    icon_->setIcon(picture_);
    icon_->setToolTip(tooltip_);
    icon_->show();
}

// A balloon leaves with its icon.
void TrayPresentation::remove() {
    shown_ = false;
    clicks_.cancel();
    notifications_.close();
    if (icon_) icon_->hide();
}

// Changes to an icon that is not shown are lost, as the notification area
// loses them; an unchanged text is not sent again, which Qt would do at
// every cycle.
void TrayPresentation::set_tooltip(std::string_view text) {
    if (!shown_) return;
    const QString tooltip = from_utf8(text);
    if (tooltip == tooltip_) return;
    tooltip_ = tooltip;
    if (icon_) icon_->setToolTip(tooltip_);
}

// Only an icon in an XEmbed notification area has a place on the screen that
// Qt knows, and there Qt draws the balloon beside it.
void TrayPresentation::show_balloon(std::string_view title, std::string_view text, uint32_t kind) {
    if (!shown_) return;
    if (icon_ && !icon_->geometry().isEmpty())
        icon_->showMessage(from_utf8(title), from_utf8(text), balloon_icon(kind), kBalloonMs);
    else
        notifications_.show(from_utf8(title), from_utf8(text), kind);
}

// Kept while the icon is away, for the next add.
void TrayPresentation::show_load(int32_t total, uint32_t level) {
    reading_ = {total, level};
    const MeterKey key = meter_key(reading_);
    if (!shown_ || picture_.isNull() || key == drawn_) return;
    drawn_ = key;
    picture_ = meter_icon(reading_);
    if (icon_) icon_->setIcon(picture_);
}

// The shell builds its menu for a right click, and the capture hands it to
// the context menu.
void TrayPresentation::fill_context_menu() {
    MenuCapture capture(contextMenu_);
    notify(platform::kMsgRButtonUp);
}

void TrayPresentation::notify(uint32_t mouseMessage) {
    if (shown_)
        platform::send_message(target_.window, target_.message, target_.iconId, static_cast<intptr_t>(mouseMessage));
}

}  // namespace vantrel::qt
