// A title bar of the dialog's own, for Wayland desktops where Qt would draw
// the window's frame itself (GNOME: the compositor leaves the frame to the
// program). Qt's frame always carries minimise and maximise buttons, which
// a fixed-size dialog must not have: this bar has the program's icon, the
// title and a close button, moves the window when dragged and closes it as
// the frame's close button does.
#pragma once

#include <QWidget>

namespace vantrel::qt {

class TitleBar final : public QWidget {
public:
    explicit TitleBar(QWidget* dialog);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// Replaces the frame that Qt draws around a shown dialog on Wayland by the
// bar above: the dialog grows by the bar's height and its controls move down
// by it. Nothing happens where the desktop draws the frame.
void use_own_title_bar(QWidget* dialog);

}  // namespace vantrel::qt
