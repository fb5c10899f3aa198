#include "platform/qt/desktop_notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QStringList>
#include <QVariantMap>

#include <utility>

#include "platform/platform.h"

namespace vantrel::qt {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

QDBusMessage service_call(const char* method) {
    return QDBusMessage::createMethodCall(kService, kPath, kService, QString::fromLatin1(method));
}

// Sends the call; done receives the reply (an error, or an invalid message
// without a bus) on this thread, unless owner has gone by then.
template <typename Done>
void call_async(QObject* owner, const QDBusMessage& message, Done done) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        done(QDBusMessage());
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), owner);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, owner, [watcher, done = std::move(done)] {
        watcher->deleteLater();
        done(watcher->reply());
    });
}

bool answered(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
}

QString icon_name(uint32_t kind) {
    switch (kind) {
        case platform::kBalloonWarning:
            return QStringLiteral("dialog-warning");
        case platform::kBalloonInfo:
            return QStringLiteral("dialog-information");
        default:
            return QString();
    }
}

}  // namespace

void ClosedBubbles::closed(uint id, uint /*reason*/) {
    if (id == *shownId_) *shownId_ = 0;
}

// The signal comes from whichever program serves the name: a service that
// starts later, or anew, is heard as well. A new owner knows nothing of the
// bubbles of the one before.
DesktopNotifications::DesktopNotifications() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), &closed_, SLOT(closed(uint, uint)));
    service_.emplace(kService, bus, QDBusServiceWatcher::WatchForOwnerChange);
    QObject::connect(&*service_, &QDBusServiceWatcher::serviceOwnerChanged, &calls_, [this] { shownId_ = 0; });
}

DesktopNotifications::~DesktopNotifications() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        bus.disconnect(kService, kPath, kService, QStringLiteral("NotificationClosed"), &closed_,
                       SLOT(closed(uint, uint)));
}

void DesktopNotifications::show(const QString& title, const QString& text, uint32_t kind) {
    waiting_ = Balloon{title, text, kind};
    closeWhenSent_ = false;
    if (!sending_) send_next();
}

void DesktopNotifications::close() {
    waiting_.reset();
    if (sending_) {
        closeWhenSent_ = true;
        return;
    }
    if (shownId_ == 0) return;
    QDBusMessage message = service_call("CloseNotification");
    message << shownId_;
    shownId_ = 0;
    call_async(&calls_, message, [](const QDBusMessage&) {});
}

// The service's capabilities are asked for each balloon: the service may
// have been replaced since the last one.
void DesktopNotifications::send_next() {
    if (!waiting_) return;
    Balloon balloon = std::move(*waiting_);
    waiting_.reset();
    sending_ = true;
    call_async(&calls_, service_call("GetCapabilities"), [this, balloon](const QDBusMessage& reply) {
        if (!answered(reply)) {
            sent(std::nullopt);
            return;
        }
        send(balloon, reply.arguments().constFirst().toStringList().contains(QStringLiteral("body-markup")));
    });
}

void DesktopNotifications::send(const Balloon& balloon, bool bodyMarkup) {
    QVariantMap hints;
    // Normal for warnings and notices alike: critical bubbles never expire,
    // and some desktops hide low ones.
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(1));
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral(VANTREL_DESKTOP_ID));
    QDBusMessage message = service_call("Notify");
    // A service that reads markup in the body would take a "<" or "&" of a
    // process name or of the user's text as markup: they are shown as typed.
    message << QStringLiteral("Vantrel") << shownId_ << icon_name(balloon.kind) << balloon.title
            << (bodyMarkup ? balloon.text.toHtmlEscaped() : balloon.text) << QStringList() << hints
            << -1;  // the desktop's own display time, as the Windows shell chooses its own
    call_async(&calls_, message, [this](const QDBusMessage& reply) {
        sent(answered(reply) ? std::optional<uint32_t>(reply.arguments().constFirst().toUInt()) : std::nullopt);
    });
}

void DesktopNotifications::sent(std::optional<uint32_t> id) {
    sending_ = false;
    if (id) shownId_ = *id;
    if (closeWhenSent_) {
        closeWhenSent_ = false;
        close();
    }
    send_next();
}

}  // namespace vantrel::qt
