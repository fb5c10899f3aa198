// The save-file chooser behind the settings dialog's "..." button: the
// system's common dialog, on the record the settings dialog prepared.
#include <windows.h>
#include <commdlg.h>

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace vantrel::platform {

uint32_t file_chooser_record_size() { return OPENFILENAME_SIZE_VERSION_400A; }

bool get_save_file_name(FileChooser& chooser) {
    OPENFILENAMEA record{};
    record.lStructSize = chooser.structSize;
    record.hwndOwner = win32::hwnd(chooser.owner);
    record.lpstrFilter = chooser.filter;
    record.nFilterIndex = chooser.filterIndex;
    record.lpstrFile = chooser.file;
    record.nMaxFile = chooser.maxFile;
    record.Flags = chooser.flags;
    record.lpstrDefExt = chooser.defExt;
    return GetSaveFileNameA(&record) != 0;
}

}  // namespace vantrel::platform
