// The Linux program: Qt's application object, one copy per session and per
// settings file, the presentation of the tray icon, and the portable shell.
#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/linux/companion_lock.h"
#include "platform/platform.h"
#include "platform/qt/application_service.h"
#include "platform/qt/close_signals.h"
#include "platform/qt/presentation.h"
#include "platform/qt/terminal_presentation.h"
#include "platform/qt/window_records.h"
#include "platform/qt/tray_presentation.h"
#include "platform/qt/window_activation.h"
#include "resources/resource_ids.h"

namespace {

bool set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Without a display a QApplication cannot start; Qt is then asked for no
// windows at all. A platform chosen by name (such as offscreen) is trusted.
bool has_display() { return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM"); }

// Qt's platforms that draw into memory show nothing to anyone.
bool on_screen() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

}  // namespace

int main(int argc, char* argv[]) {
    const int signalFd = vantrel::qt::CloseSignals::block();
    // A launcher that starts the program directly says so with a token (an
    // autostart entry and a terminal give none).
    const vantrel::qt::LaunchToken launch = vantrel::qt::take_launch_token();

    std::unique_ptr<QCoreApplication> app;
    if (has_display()) {
        app = std::make_unique<QApplication>(argc, argv);
        // The program lives in the notification area: closing its last
        // dialog does not end it.
        QApplication::setQuitOnLastWindowClosed(false);
        // The name that notification areas show for the icon, and the desktop
        // entry that desktops match the program's windows with.
        QApplication::setApplicationName(QStringLiteral("Vantrel"));
        QGuiApplication::setDesktopFileName(QStringLiteral(VANTREL_DESKTOP_ID));
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    // Departs from the documented start, which lets copies run side by side:
    // each would write the settings file at its exit, and the later save
    // would undo the other's changes. A second start in the session hands
    // over to the running copy before anything is shown or read; beyond the
    // session (no bus, or another session of the same user) the lock on the
    // settings' folder keeps a second copy off the file.
    vantrel::qt::ApplicationService service;
    if (service.claim(launch) == vantrel::qt::SessionStart::HandedOver) {
        std::fputs("vantrel: already running in this session\n", stderr);
        return 0;
    }
    const std::string folder = vantrel::companion::companion_folder();
    if (!folder.empty() && vantrel::companion::lock_folder(folder, 1000) == vantrel::companion::LockResult::Held) {
        std::fprintf(stderr, "vantrel: already running with the settings in %s\n", folder.c_str());
        return 0;
    }

    // With a display the icon is always there for a notification area to
    // take, whenever one appears.
    std::unique_ptr<vantrel::qt::Presentation> presentation;
    if (has_display() && on_screen()) presentation = std::make_unique<vantrel::qt::TrayPresentation>();
    if (!presentation) presentation = std::make_unique<vantrel::qt::TerminalPresentation>(stdout);

    vantrel::qt::use_presentation(presentation.get());
    vantrel::qt::CloseSignals closeSignals(signalFd);
    // Started from a launcher, the program shows its settings dialog, as a
    // launcher does that starts it over the bus (its first call is Activate)
    // and as a launch does while it runs: a launch always shows something,
    // also where no notification area shows the icon. Once the loop runs.
    if (!launch.empty()) {
        QTimer::singleShot(0, app.get(), [&launch] {
            vantrel::qt::expect_activation(launch);
            vantrel::platform::send_message(vantrel::qt::main_window(), vantrel::platform::kMsgCommand,
                                            vantrel::CMD_SETTINGS, 0);
        });
    }
    // The instance handle only names the program; nothing is loaded by it.
    static char instanceTag;
    const int code = vantrel::run_application(reinterpret_cast<vantrel::platform::InstanceHandle>(&instanceTag));
    vantrel::qt::use_presentation(nullptr);
    return code;
}
