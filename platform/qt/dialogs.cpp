// Dialogs from templates with their modal loops, and their controls.
//
// A dialog window is not modal to the whole program: the tray icon, its menu
// and the other dialog stay usable while one is open, as they do on Windows,
// where only the hidden owner is disabled. Each dialog runs its own loop,
// nested in the loop of whatever opened it.
#include "platform/qt/dialogs.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <vector>

#include "platform/qt/template_dialog.h"
#include "platform/qt/title_bar.h"
#include "platform/qt/utf8_text.h"
#include "platform/qt/window_activation.h"
#include "platform/qt/widgets_available.h"
#include "platform/qt/window_records.h"
#include "resources/dialog_templates.h"

namespace vantrel::qt {

namespace {

// The dialogs whose commands are being handled, innermost last.
std::vector<platform::WindowHandle> commanding;

void route(platform::WindowHandle dialog, uint32_t message, uintptr_t wparam) {
    commanding.push_back(dialog);
    platform::send_message(dialog, message, wparam, 0);
    commanding.pop_back();
}

QWidget* item(platform::WindowHandle dialog, int id) {
    const WindowRecord* record = live_window(dialog);
    return record == nullptr || record->dialog == nullptr ? nullptr : record->dialog->control(id);
}

template <typename Widget>
Widget* item_as(platform::WindowHandle dialog, int id) {
    return qobject_cast<Widget*>(item(dialog, id));
}

}  // namespace

QWidget* commanding_dialog() {
    for (auto it = commanding.rbegin(); it != commanding.rend(); ++it) {
        if (const WindowRecord* record = live_window(*it); record != nullptr && record->dialog != nullptr)
            return record->dialog;
    }
    return nullptr;
}

}  // namespace vantrel::qt

namespace vantrel::platform {

intptr_t dialog_box(InstanceHandle /*instance*/, int template_id, WindowHandle owner, WindowProc proc) {
    const DialogTemplate* dialogTemplate = find_dialog_template(template_id);
    if (dialogTemplate == nullptr || proc == nullptr || !qt::widgets_available() ||
        (owner != nullptr && qt::live_window(owner) == nullptr))
        return -1;

    const WindowHandle handle = qt::add_window({.proc = proc, .owner = owner});
    // The record stays in place until it is forgotten at the end.
    qt::WindowRecord& record = *qt::find_window(handle);
    qt::TemplateDialog window(*dialogTemplate,
                              [handle](uint32_t message, uintptr_t wparam) { qt::route(handle, message, wparam); });
    record.dialog = &window;

    // The procedure sets the focus itself; its result is not used to move
    // the focus to the first tab stop, which would undo that choice.
    proc(handle, kMsgInitDialog, 0, 0);
    if (record.state == qt::WindowRecord::State::Alive && !record.ended) {
        QEventLoop loop;
        window.centre_on_screen();
        window.show();
        qt::use_own_title_bar(&window);
        qt::bring_to_front(&window);
        record.loop = &loop;
        loop.exec();
        record.loop = nullptr;
    }
    // Ended, destroyed with its owner, or the program quit: the window goes.
    qt::destroy_window(handle);
    const intptr_t result = record.result;
    qt::forget_window(handle);
    return result;
}

void end_dialog(WindowHandle dialog, intptr_t result) {
    qt::WindowRecord* record = qt::live_window(dialog);
    if (record == nullptr || record->dialog == nullptr || record->ended) return;
    record->ended = true;
    record->result = result;
    record->dialog->hide();
    if (record->loop != nullptr) record->loop->exit();
    // The window is destroyed as soon as the handler that ended it returns,
    // even when its loop cannot end yet because a dialog opened later runs in
    // a loop nested inside it.
    QTimer::singleShot(0, record->dialog, [dialog] { qt::destroy_window(dialog); });
}

void set_item_text(WindowHandle dialog, int id, const char* text) {
    const QString value = qt::from_utf8(text != nullptr ? text : "");
    QWidget* widget = qt::item(dialog, id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->setText(value);
    else if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(value);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget)) button->setText(value);
    else if (auto* group = qobject_cast<QGroupBox*>(widget)) group->setTitle(value);
}

std::size_t get_item_text(WindowHandle dialog, int id, char* buf, std::size_t cap) {
    if (cap == 0) return 0;
    QString value;
    QWidget* widget = qt::item(dialog, id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) value = edit->text();
    else if (auto* label = qobject_cast<QLabel*>(widget)) value = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(widget)) value = button->text();
    else if (auto* group = qobject_cast<QGroupBox*>(widget)) value = group->title();
    else if (auto* list = qobject_cast<QComboBox*>(widget)) value = list->currentText();
    return qt::copy_utf8(value, buf, cap);
}

void check_button(WindowHandle dialog, int id, int checked) {
    if (auto* button = qt::item_as<QAbstractButton>(dialog, id)) button->setChecked(checked != 0);
}

bool is_button_checked(WindowHandle dialog, int id) {
    const auto* button = qt::item_as<QAbstractButton>(dialog, id);
    return button != nullptr && button->isChecked();
}

void list_delete_entry(WindowHandle dialog, int id, int position) {
    auto* list = qt::item_as<QComboBox>(dialog, id);
    if (list != nullptr && position >= 0 && position < list->count()) list->removeItem(position);
}

// Position -1 appends; a position past the end inserts nothing.
void list_insert_entry(WindowHandle dialog, int id, int position, const char* text) {
    auto* list = qt::item_as<QComboBox>(dialog, id);
    if (list == nullptr || position < -1 || position > list->count()) return;
    list->insertItem(position == -1 ? list->count() : position, qt::from_utf8(text != nullptr ? text : ""));
}

void list_select(WindowHandle dialog, int id, int position) {
    auto* list = qt::item_as<QComboBox>(dialog, id);
    if (list != nullptr) list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
}

int list_selection(WindowHandle dialog, int id) {
    const auto* list = qt::item_as<QComboBox>(dialog, id);
    return list == nullptr ? -1 : list->currentIndex();
}

void select_all_text(WindowHandle dialog, int id) {
    if (auto* edit = qt::item_as<QLineEdit>(dialog, id)) edit->selectAll();
}

void focus_item(WindowHandle dialog, int id) {
    if (QWidget* widget = qt::item(dialog, id)) widget->setFocus(Qt::OtherFocusReason);
}

}  // namespace vantrel::platform
