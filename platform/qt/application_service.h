// The program on the session bus: it owns its desktop id there and serves
// org.freedesktop.Application, so that desktops can start it by D-Bus
// activation, offer its actions on the launcher, and reach its commands
// where there is no notification area. A second start finds the name taken
// and hands over to the running copy instead of running beside it.
//
//   Activate                     opens the settings dialog (the tray menu's
//                                設定, or a double-click on the icon)
//   ActivateAction "settings"    the same
//   ActivateAction "about"       opens the About box
//   ActivateAction "quit"        ends the program as the menu's 終了 does
//
// Each call is answered at once; the command then reaches the main window
// through its message handler on the user-interface thread, as the menu's
// commands do (the dialogs are modal, and a caller must not wait for them).
// The dialog comes to the front with the activation token or startup id of
// the call's platform data (platform/qt/window_activation.h). Once the
// program's exit is under way, it refuses the calls that would open a dialog
// with the error org.vantrel.Vantrel.Error.Exiting: a second start that
// meets it waits for the copy to end and then runs in its place.
#pragma once

#include <QDBusVirtualObject>

#include "platform/qt/window_activation.h"

namespace vantrel::qt {

enum class SessionStart {
    First,       // this copy owns the name and serves the interface
    HandedOver,  // another copy owns the name; it has been asked to Activate
    NoBus        // no session bus, or one that refuses the name
};

class ApplicationService final : public QDBusVirtualObject {
public:
    ~ApplicationService() override;

    // Serves the interface and takes the name (the atomic step: of two
    // starts at once exactly one gets it). When another copy owns it, asks
    // that copy to Activate, passing on the token this start was launched
    // with; a copy that ended meanwhile, or that is ending, leaves the name
    // free for another try. Call before the settings are read.
    SessionStart claim(const LaunchToken& launch);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    bool serving_ = false;
};

}  // namespace vantrel::qt
