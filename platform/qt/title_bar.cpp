#include "platform/qt/title_bar.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QWindow>

#include "platform/qt/icon_resources.h"

namespace vantrel::qt {

namespace {

constexpr int kBarHeight = 30;
constexpr int kIconPixels = 16;

}  // namespace

TitleBar::TitleBar(QWidget* dialog) : QWidget(dialog) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 2, 0);
    auto* icon = new QLabel(this);
    icon->setPixmap(program_icon().pixmap(kIconPixels, kIconPixels));
    auto* title = new QLabel(dialog->windowTitle(), this);
    title->setAlignment(Qt::AlignCenter);
    auto* close = new QToolButton(this);
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setAutoRaise(true);
    close->setFocusPolicy(Qt::NoFocus);
    connect(close, &QToolButton::clicked, dialog, &QWidget::close);
    layout->addWidget(icon);
    layout->addWidget(title, 1);
    layout->addWidget(close);
    setGeometry(0, 0, dialog->width(), kBarHeight);
}

void TitleBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && window()->windowHandle() != nullptr)
        window()->windowHandle()->startSystemMove();
}

// A shade darker than the dialog, with a line below it.
void TitleBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor face = palette().color(QPalette::Window);
    painter.fillRect(rect(), face.darker(108));
    painter.setPen(face.darker(140));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}

void use_own_title_bar(QWidget* dialog) {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return;
    const QWindow* window = dialog->windowHandle();
    if (window == nullptr || window->frameMargins().top() <= 0) return;
    const QWidgetList controls = dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    // Made anew without the frame, before anything was drawn. (Qt keeps a
    // frame on a window that asks for any of its buttons.)
    dialog->hide();
    dialog->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    for (QWidget* control : controls) control->move(control->x(), control->y() + kBarHeight);
    dialog->setFixedSize(dialog->width(), dialog->height() + kBarHeight);
    (new TitleBar(dialog))->show();
    dialog->show();
}

}  // namespace vantrel::qt
