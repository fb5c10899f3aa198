// The save-file chooser behind the settings dialog's "..." button.
//
// The chooser only names the usage log, which is appended to and created by
// its first append. So a name that does not exist yet is accepted, and no
// overwrite warning is shown for an existing file, which is never
// overwritten: the record's file-must-exist and overwrite-prompt flags, taken
// over from a Windows save chooser, do not apply to a log.
#include <QFileDialog>
#include <QPointer>
#include <QStringList>

#include <cstring>

#include "platform/platform.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/utf8_text.h"
#include "platform/qt/widgets_available.h"

namespace vantrel::qt {

namespace {

// The record's filter pairs (display text, then patterns separated by ";"),
// ended by an empty text, as Qt's filters: "display (patterns)", where the
// display text does not already end with its patterns in brackets.
QStringList name_filters(const char* pairs) {
    QStringList filters;
    for (const char* p = pairs; p != nullptr && *p != '\0';) {
        const QString display = from_utf8(p);
        p += std::strlen(p) + 1;
        if (*p == '\0') break;
        QString patterns = from_utf8(p);
        p += std::strlen(p) + 1;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString shown = QStringLiteral("(%1)").arg(patterns);
        filters << (display.endsWith(shown) ? display : QStringLiteral("%1 %2").arg(display, shown));
    }
    return filters;
}

}  // namespace

}  // namespace vantrel::qt

namespace vantrel::platform {

// The size of the Windows record in the 32-bit layout; nothing here reads it.
uint32_t file_chooser_record_size() { return 76; }

bool get_save_file_name(FileChooser& chooser) {
    if (!qt::widgets_available() || chooser.file == nullptr || chooser.maxFile == 0) return false;
    const QStringList filters = qt::name_filters(chooser.filter);
    QPointer<QFileDialog> dialog = new QFileDialog(qt::commanding_dialog());
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setNameFilters(filters);
    if (chooser.filterIndex >= 1 && chooser.filterIndex <= static_cast<uint32_t>(filters.size()))
        dialog->selectNameFilter(filters.at(static_cast<qsizetype>(chooser.filterIndex - 1)));
    dialog->selectFile(qt::from_utf8(chooser.file));
    const bool accepted = dialog->exec() == QDialog::Accepted && !dialog.isNull();
    const QString path = accepted && !dialog->selectedFiles().isEmpty() ? dialog->selectedFiles().first() : QString();
    delete dialog.data();
    if (path.isEmpty()) return false;
    qt::copy_utf8(path, chooser.file, chooser.maxFile);
    return true;
}

}  // namespace vantrel::platform
