// The icon in the desktop's notification area (StatusNotifierItem or XEmbed,
// whichever the desktop offers), with its tooltip and balloons.
#pragma once

#include <QSystemTrayIcon>

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

private:
    void notify(uint32_t mouseMessage);

    QSystemTrayIcon icon_;
    TrayClicks clicks_;
    IconTarget target_{};
};

}  // namespace vantrel::qt
