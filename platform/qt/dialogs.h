// The modal dialogs and their controls.
#pragma once

class QWidget;

namespace vantrel::qt {

// The window of the dialog whose command is being handled, or nullptr: the
// window that a chooser opened by that command belongs to.
QWidget* commanding_dialog();

}  // namespace vantrel::qt
