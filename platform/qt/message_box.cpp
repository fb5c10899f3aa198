// The message box of the settings dialog's range checks.
#include <QMessageBox>
#include <QPointer>

#include "platform/platform.h"
#include "platform/qt/utf8_text.h"
#include "platform/qt/widgets_available.h"
#include "platform/qt/window_records.h"
#include "platform/qt/template_dialog.h"

namespace vantrel::platform {

// Modal to its owner only, so the tray icon stays usable meanwhile. The box
// is made on the heap: should the owner go while the box is open (the
// program quitting), the owner takes the box with it.
void message_box(WindowHandle owner, const char* text, const char* caption) {
    if (!qt::widgets_available()) return;
    const qt::WindowRecord* record = qt::live_window(owner);
    QWidget* parent = record != nullptr ? record->dialog : nullptr;
    QPointer<QMessageBox> box =
        new QMessageBox(QMessageBox::NoIcon, qt::from_utf8(caption != nullptr ? caption : ""),
                        qt::from_utf8(text != nullptr ? text : ""), QMessageBox::Ok, parent);
    box->setWindowModality(parent != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    box->exec();
    delete box.data();
}

}  // namespace vantrel::platform
