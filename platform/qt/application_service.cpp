#include "platform/qt/application_service.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDeadlineTimer>
#include <QThread>
#include <QVariantMap>

#include <cstdint>

#include "platform/platform.h"
#include "platform/qt/window_records.h"
#include "resources/resource_ids.h"

namespace vantrel::qt {

namespace {

const QString kName = QStringLiteral(VANTREL_DESKTOP_ID);
const QString kInterface = QStringLiteral("org.freedesktop.Application");

// The object path that the desktop id names: dots become slashes.
QString object_path() { return QLatin1Char('/') + QString(kName).replace(QLatin1Char('.'), QLatin1Char('/')); }

const QString kExiting = QStringLiteral("org.vantrel.Vantrel.Error.Exiting");

// How long a second start waits for the running copy's answer, and for a
// copy whose exit is under way to end (it saves its settings first).
constexpr int kAnswerMs = 10000;
constexpr int kEndingMs = 5000;
constexpr int kTries = 3;

// The platform data of a call, as GLib's launchers fill it.
QVariantMap platform_data(const LaunchToken& token) {
    QVariantMap data;
    if (!token.activationToken.isEmpty()) data.insert(QStringLiteral("activation-token"), token.activationToken);
    if (!token.startupId.isEmpty()) data.insert(QStringLiteral("desktop-startup-id"), token.startupId);
    return data;
}

LaunchToken launch_token(const QVariant& platformData) {
    const QVariantMap data = qdbus_cast<QVariantMap>(platformData);
    return {data.value(QStringLiteral("activation-token")).toString(),
            data.value(QStringLiteral("desktop-startup-id")).toString()};
}

// Waits until nobody owns the name; false when it is still owned at the end.
bool name_released(const QDBusConnection& bus, int ms) {
    const QDeadlineTimer deadline(ms);
    for (;;) {
        const auto owned = bus.interface()->isServiceRegistered(kName);
        if (!owned.isValid() || !owned.value()) return true;
        if (deadline.hasExpired()) return false;
        QThread::msleep(50);
    }
}

// The command of an action, or 0 for a name that is none.
uint32_t action_command(const QString& action) {
    if (action == QLatin1String("settings")) return CMD_SETTINGS;
    if (action == QLatin1String("about")) return CMD_ABOUT;
    if (action == QLatin1String("quit")) return CMD_EXIT;
    return 0;
}

}  // namespace

ApplicationService::~ApplicationService() {
    if (serving_) QDBusConnection::sessionBus().unregisterObject(object_path());
}

SessionStart ApplicationService::claim(const LaunchToken& launch) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) return SessionStart::NoBus;
    // Served before the name is taken, so that no caller finds the name
    // without the interface.
    serving_ = bus.registerVirtualObject(object_path(), this);
    for (int attempt = 0; attempt < kTries; ++attempt) {
        const auto owned = bus.interface()->registerService(kName, QDBusConnectionInterface::DontQueueService,
                                                            QDBusConnectionInterface::DontAllowReplacement);
        if (!owned.isValid()) return SessionStart::NoBus;
        if (owned.value() == QDBusConnectionInterface::ServiceRegistered) return SessionStart::First;
        QDBusMessage activate = QDBusMessage::createMethodCall(kName, object_path(), kInterface, QStringLiteral("Activate"));
        activate << platform_data(launch);
        const QDBusMessage answer = bus.call(activate, QDBus::Block, kAnswerMs);
        if (answer.type() == QDBusMessage::ReplyMessage) return SessionStart::HandedOver;
        // A copy that is ending gives the session to this start.
        if (answer.errorName() == kExiting) {
            if (!name_released(bus, kEndingMs)) break;
            continue;
        }
        // Unanswered: try for the name again if its owner has ended since.
        const auto stillOwned = bus.interface()->isServiceRegistered(kName);
        if (!stillOwned.isValid() || stillOwned.value()) break;
    }
    // A copy that owns the name but does not answer keeps the settings file
    // to itself.
    return SessionStart::HandedOver;
}

QString ApplicationService::introspect(const QString& /*path*/) const {
    return QStringLiteral(
        "<interface name=\"org.freedesktop.Application\">"
        "<method name=\"Activate\"><arg type=\"a{sv}\" name=\"platform_data\" direction=\"in\"/></method>"
        "<method name=\"ActivateAction\"><arg type=\"s\" name=\"action_name\" direction=\"in\"/>"
        "<arg type=\"av\" name=\"parameter\" direction=\"in\"/>"
        "<arg type=\"a{sv}\" name=\"platform_data\" direction=\"in\"/></method>"
        "</interface>");
}

bool ApplicationService::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    if (message.interface() != kInterface) return false;
    uint32_t command = 0;
    if (message.member() == QLatin1String("Activate") && message.signature() == QLatin1String("a{sv}")) {
        command = CMD_SETTINGS;
    } else if (message.member() == QLatin1String("ActivateAction") &&
               message.signature() == QLatin1String("sava{sv}")) {
        command = action_command(message.arguments().constFirst().toString());
        if (command == 0) {
            connection.send(message.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("No such action")));
            return true;
        }
    } else {
        return false;
    }
    // A copy whose exit is under way would drop the command: the caller
    // learns so and can start anew.
    if (command != CMD_EXIT && platform::send_message(main_window(), platform::kMsgHandOver, 0, 0) == 0) {
        connection.send(message.createErrorReply(kExiting, QStringLiteral("Vantrel is ending")));
        return true;
    }
    connection.send(message.createReply());
    const LaunchToken token = launch_token(message.arguments().constLast());
    QMetaObject::invokeMethod(
        this,
        [command, token] {
            expect_activation(token);
            platform::send_message(main_window(), platform::kMsgCommand, command, 0);
        },
        Qt::QueuedConnection);
    return true;
}

}  // namespace vantrel::qt
