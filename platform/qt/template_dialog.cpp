#include "platform/qt/template_dialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <utility>

#include "platform/platform.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/icon_resources.h"
#include "platform/qt/utf8_text.h"
#include "resources/resource_ids.h"

namespace vantrel::qt {

namespace {

// The icon control shows the program's icon at its real size.
constexpr int kIconPixels = 32;

bool has(uint32_t styles, uint32_t style) { return (styles & style) == style; }

// A number field, as the system's: a typed character that is not a digit is
// refused, but pasted text is taken as it stands and left to the dialog's
// range check.
class NumberEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        constexpr auto kShortcut = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
        const QString typed = event->text();
        const auto digit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
        if ((event->modifiers() & kShortcut) == 0 && !typed.isEmpty() && typed.front().isPrint() &&
            !std::all_of(typed.begin(), typed.end(), digit)) {
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
};

QLineEdit* make_edit(const ControlTemplate& control, QWidget* parent) {
    auto* edit = has(control.styles, style::kEditNumber) ? new NumberEdit(parent) : new QLineEdit(parent);
    edit->setFrame(has(control.styles, style::kBorder));
    return edit;
}

QLabel* make_label(const ControlTemplate& control, QWidget* parent) {
    auto* label = new QLabel(from_utf8(control.text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    const Qt::Alignment across = has(control.styles, style::kStaticCenter) ? Qt::AlignHCenter : Qt::AlignLeft;
    label->setAlignment(across | Qt::AlignTop);
    return label;
}

}  // namespace

TemplateDialog::TemplateDialog(const DialogTemplate& dialogTemplate, Route route) : route_(std::move(route)) {
    setWindowTitle(from_utf8(dialogTemplate.title));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(dialog_font(dialogTemplate));
    const BaseUnits units = base_units(font());
    setFixedSize(dialog_rect(units, 0, 0, dialogTemplate.width, dialogTemplate.height).size());

    QWidget* previousStop = nullptr;
    for (std::size_t i = 0; i < dialogTemplate.controlCount; ++i) {
        const ControlTemplate& control = dialogTemplate.controls[i];
        QWidget* widget = make_control(control, units);
        widget->setObjectName(QString::number(control.id));
        if (control.id != kNoControlId) controls_[control.id] = widget;
        if (has(control.styles, style::kTabStop)) {
            if (previousStop != nullptr) setTabOrder(previousStop, widget);
            previousStop = widget;
        }
    }
}

QWidget* TemplateDialog::make_control(const ControlTemplate& control, const BaseUnits& units) {
    const QRect place = dialog_rect(units, control.x, control.y, control.width, control.height);
    const QString text = from_utf8(control.text);
    QWidget* widget = nullptr;
    switch (control.kind) {
        case ControlKind::GroupBox:
            widget = new QGroupBox(text, this);
            break;
        case ControlKind::CheckBox:
            widget = new QCheckBox(text, this);
            break;
        case ControlKind::Edit:
            widget = make_edit(control, this);
            break;
        case ControlKind::DropDownList: {
            // The template's height includes the opened list; the closed box
            // is as high as the style draws it.
            auto* list = new QComboBox(this);
            list->setEditable(false);
            list->setGeometry(place.x(), place.y(), place.width(),
                              std::min(place.height(), list->sizeHint().height()));
            return list;
        }
        case ControlKind::Label:
            widget = make_label(control, this);
            break;
        case ControlKind::Button: {
            auto* button = new QPushButton(text, this);
            button->setDefault(has(control.styles, style::kButtonDefPush));
            const auto id = static_cast<uintptr_t>(control.id);
            connect(button, &QPushButton::clicked, this, [this, id] { route_(platform::kMsgCommand, id); });
            widget = button;
            break;
        }
        case ControlKind::Icon: {
            auto* icon = new QLabel(this);
            icon->setPixmap(program_icon().pixmap(kIconPixels, kIconPixels));
            icon->setGeometry(place.x(), place.y(), kIconPixels, kIconPixels);
            return icon;
        }
    }
    widget->setGeometry(place);
    return widget;
}

QWidget* TemplateDialog::control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void TemplateDialog::centre_on_screen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void TemplateDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        route_(platform::kMsgCommand, kIdCancel);
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        copy_texts();
        return;
    }
    // Enter presses the default button, whose click is routed as its id.
    QDialog::keyPressEvent(event);
}

void TemplateDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    route_(platform::kMsgClose, 0);
}

// Ctrl+C outside an edit field copies the dialog's texts, as a Windows
// message box does: the labels' texts, one to a line.
void TemplateDialog::copy_texts() const {
    QStringList texts;
    for (const QLabel* label : findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!label->text().isEmpty()) texts << label->text();
    }
    QGuiApplication::clipboard()->setText(texts.join(QLatin1Char('\n')));
}

}  // namespace vantrel::qt
