// Balloons as desktop notifications, through the desktop's notification
// service (org.freedesktop.Notifications on the session bus): for an icon in
// a StatusNotifierItem host, which has no balloons of its own, and for the
// time when no notification area exists at all.
//
// One bubble at a time, as the Windows shell shows one balloon per icon:
// each balloon replaces the bubble shown before it (replaces_id) while that
// bubble is on screen. Once the service has closed it (it expired, the user
// dismissed it), or the service itself has gone or been replaced, the next
// balloon is a new bubble: some services drop a call that names a bubble
// they have already closed. The calls are asynchronous, so a slow or missing
// service never holds up the program; while one balloon is on its way only
// the newest one waits, and where no service answers the balloon is dropped.
#pragma once

#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>

namespace vantrel::qt {

// Receives the service's NotificationClosed signal (a slot, which the bus
// connection needs).
class ClosedBubbles final : public QObject {
    Q_OBJECT

public:
    explicit ClosedBubbles(uint32_t* shownId) : shownId_(shownId) {}

public Q_SLOTS:
    void closed(uint id, uint reason);

private:
    uint32_t* shownId_;
};

class DesktopNotifications {
public:
    DesktopNotifications();
    ~DesktopNotifications();

    // kind: platform::kBalloonWarning or kBalloonInfo.
    void show(const QString& title, const QString& text, uint32_t kind);

    // Takes the bubble off the screen (it leaves with the icon).
    void close();

private:
    struct Balloon {
        QString title;
        QString text;
        uint32_t kind;
    };

    void send_next();
    void send(const Balloon& balloon, bool bodyMarkup);
    void sent(std::optional<uint32_t> id);

    std::optional<Balloon> waiting_;
    bool sending_ = false;
    bool closeWhenSent_ = false;
    uint32_t shownId_ = 0;  // the bubble on screen, 0 for none
    QObject calls_;         // owns the calls on their way, which end with it
    ClosedBubbles closed_{&shownId_};
    std::optional<QDBusServiceWatcher> service_;  // while there is a session bus
};

}  // namespace vantrel::qt
