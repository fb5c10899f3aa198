// One copy per settings folder across the sessions of the machine.
#pragma once

#include <windows.h>

namespace vantrel::win32 {

enum class FolderLock {
    Taken,          // this process holds it until it ends
    HeldElsewhere,  // another copy, in any session, of any user, keeps its settings there
    Unavailable,    // the folder cannot be found, or the system gives no such lock
};

// Takes the lock of the settings folder, named in the system code page,
// waiting up to wait_ms for a copy that is ending to let it go.
FolderLock take_folder_lock(const char* folder, DWORD wait_ms);

}  // namespace vantrel::win32
