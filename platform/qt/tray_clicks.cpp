#include "platform/qt/tray_clicks.h"

#include <QGuiApplication>
#include <QStyleHints>

#include <utility>

#include "platform/platform.h"

namespace vantrel::qt {

TrayClicks::TrayClicks(std::function<void(uint32_t)> notify, bool doubleClicks)
    : notify_(std::move(notify)), doubleClicks_(doubleClicks) {
    heldClick_.setSingleShot(true);
    QObject::connect(&heldClick_, &QTimer::timeout, &heldClick_, [this] {
        notify_(doubleClicks_ ? platform::kMsgLButtonUp : platform::kMsgLButtonDblClk);
    });
}

void TrayClicks::activated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            // Without double-clicks, once the host's call is answered: the
            // settings dialog runs a loop of its own.
            heldClick_.start(doubleClicks_ ? QGuiApplication::styleHints()->mouseDoubleClickInterval() : 0);
            break;
        case QSystemTrayIcon::DoubleClick:
            heldClick_.stop();
            notify_(platform::kMsgLButtonDblClk);
            break;
        case QSystemTrayIcon::Context:
            heldClick_.stop();
            break;
        default:
            break;
    }
}

void TrayClicks::cancel() { heldClick_.stop(); }

}  // namespace vantrel::qt
