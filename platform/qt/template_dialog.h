// A dialog window built from a dialog template: every control in template
// order, with its kind, text and place converted from dialog units, its id as
// its object name, and the tab order of the template.
//
// The window decides nothing: a push button's click, the Enter key (which
// presses the default button), the Esc key and the close box are routed to
// the dialog's procedure as kMsgCommand with the button's id, kMsgCommand 1,
// kMsgCommand 2 and kMsgClose.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <map>

#include "resources/dialog_templates.h"

namespace vantrel::qt {

struct BaseUnits;

class TemplateDialog final : public QDialog {
public:
    using Route = std::function<void(uint32_t message, uintptr_t wparam)>;

    TemplateDialog(const DialogTemplate& dialogTemplate, Route route);

    // The control of the id, or nullptr.
    QWidget* control(int id) const;

    // Places the window in the middle of the screen.
    void centre_on_screen();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* make_control(const ControlTemplate& control, const BaseUnits& units);
    void copy_texts() const;

    Route route_;
    std::map<int, QWidget*> controls_;
};

}  // namespace vantrel::qt
