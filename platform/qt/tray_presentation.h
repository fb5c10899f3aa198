// The icon in the desktop's notification area (StatusNotifierItem or XEmbed,
// whichever the desktop offers), with its tooltip and balloons, used
// whenever there is a display.
//
// The notification area may come later than the program (at login the
// session starts both at once), go away and come back (a restarted panel),
// or never exist. The icon docks whenever there is one: on X11 Qt docks the
// shown icon into any notification area that appears, and takes it into the
// new one after a restart; elsewhere the icon is made once a
// StatusNotifierItem watcher is on the session bus, since Qt chooses how to
// show an icon once, when the first is made.
//
// The icon's picture is icon 105 with its meter showing the machine's total
// (platform/qt/meter_icon.h), drawn anew only when what it shows changes.
//
// The icon's context menu holds the shell's menu (platform/qt/menus.h): Qt
// opens it on a right click in an XEmbed notification area, and a
// StatusNotifierItem host draws it from the copy that Qt exports. It is
// filled as soon as the icon is added, since a host may look at it before it
// is first opened, and again each time it opens, so its check marks follow
// the switches. The clicks are the shell's (platform/qt/tray_clicks.h); an
// icon that Qt has no place on the screen for is drawn by such a host.
//
// Balloons are shown by Qt beside an icon docked in an XEmbed notification
// area, and as desktop notifications otherwise: a StatusNotifierItem host
// shows none of its own, and without a notification area the notification
// service is the only place left. With neither, a balloon is dropped, as
// the Windows shell drops one that finds no icon.
#pragma once

#include <QDBusServiceWatcher>
#include <QIcon>
#include <QMenu>
#include <QString>
#include <QSystemTrayIcon>

#include <memory>

#include "platform/qt/desktop_notifications.h"
#include "platform/qt/meter_icon.h"
#include "platform/qt/presentation.h"
#include "platform/qt/tray_clicks.h"

namespace vantrel::qt {

class TrayPresentation final : public Presentation {
public:
    TrayPresentation();

    void add(const IconTarget& target, platform::IconHandle icon, std::string_view tooltip) override;
    void remove() override;
    void set_tooltip(std::string_view text) override;
    void show_balloon(std::string_view title, std::string_view text, uint32_t kind) override;
    void show_load(int32_t total, uint32_t level) override;

private:
    void make_icon();
    void fill_context_menu();
    void notify(uint32_t mouseMessage);

    QMenu contextMenu_;                      // outlives the icon that shows it
    std::unique_ptr<QSystemTrayIcon> icon_;  // made once a notification area can take it
    std::unique_ptr<QDBusServiceWatcher> watcherWatch_;
    TrayClicks clicks_;
    DesktopNotifications notifications_;
    IconTarget target_{};
    bool shown_ = false;  // between add and remove
    QIcon picture_;  // null while the icon has no picture
    MeterReading reading_;
    MeterKey drawn_;  // what picture_ shows
    QString tooltip_;
};

}  // namespace vantrel::qt
