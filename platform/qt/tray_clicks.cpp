#include "platform/qt/tray_clicks.h"

#include <QGuiApplication>
#include <QStyleHints>

#include <utility>

#include "platform/platform.h"

namespace vantrel::qt {

TrayClicks::TrayClicks(std::function<void(uint32_t)> notify) : notify_(std::move(notify)) {
    heldClick_.setSingleShot(true);
    QObject::connect(&heldClick_, &QTimer::timeout, &heldClick_,
                     [this] { notify_(platform::kMsgLButtonUp); });
}

void TrayClicks::activated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            heldClick_.start(QGuiApplication::styleHints()->mouseDoubleClickInterval());
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
