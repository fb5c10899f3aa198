#include "platform/qt/tray_presentation.h"

#include "platform/qt/icon_resources.h"
#include "platform/qt/utf8_text.h"

namespace vantrel::qt {

namespace {

// How long a balloon stays when the desktop lets the program choose.
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

TrayPresentation::TrayPresentation() : clicks_([this](uint32_t mouse) { notify(mouse); }) {
    QObject::connect(&icon_, &QSystemTrayIcon::activated, &icon_,
                     [this](QSystemTrayIcon::ActivationReason reason) { clicks_.activated(reason); });
}

void TrayPresentation::add(const IconTarget& target, platform::IconHandle icon, std::string_view tooltip) {
    target_ = target;
    icon_.setIcon(icon_picture(icon));
    icon_.setToolTip(from_utf8(tooltip));
    icon_.show();
}

void TrayPresentation::remove() {
    clicks_.cancel();
    icon_.hide();
}

// Changes to an icon that is not shown are lost, as the notification area
// loses them.
void TrayPresentation::set_tooltip(std::string_view text) {
    if (icon_.isVisible()) icon_.setToolTip(from_utf8(text));
}

void TrayPresentation::show_balloon(std::string_view title, std::string_view text, uint32_t kind) {
    if (icon_.isVisible()) icon_.showMessage(from_utf8(title), from_utf8(text), balloon_icon(kind), kBalloonMs);
}

void TrayPresentation::notify(uint32_t mouseMessage) {
    if (icon_.isVisible())
        platform::send_message(target_.window, target_.message, target_.iconId, static_cast<intptr_t>(mouseMessage));
}

}  // namespace vantrel::qt
