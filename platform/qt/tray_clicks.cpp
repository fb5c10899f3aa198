#include "platform/qt/tray_clicks.h"

#include <QGuiApplication>
#include <QStyleHints>

#include <utility>

#include "platform/platform.h"

namespace vantrel::qt {

TrayClicks::TrayClicks(std::function<void(uint32_t)> notify, std::function<bool()> hostDrawsIcon)
    : notify_(std::move(notify)), hostDrawsIcon_(std::move(hostDrawsIcon)) {
    heldClick_.setSingleShot(true);
    QObject::connect(&heldClick_, &QTimer::timeout, &heldClick_, [this] { notify_(heldMessage_); });
}

void TrayClicks::activated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            if (hostDrawsIcon_()) {
                // Once the host's call is answered: the settings dialog runs
                // a loop of its own.
                heldMessage_ = platform::kMsgLButtonDblClk;
                heldClick_.start(0);
            } else {
                heldMessage_ = platform::kMsgLButtonUp;
                heldClick_.start(QGuiApplication::styleHints()->mouseDoubleClickInterval());
            }
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
