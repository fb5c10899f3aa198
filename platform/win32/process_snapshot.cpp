// The process snapshot from Tool Help: the executable file names of the
// running processes, in the order the system lists them, which is the order
// in which the counter service numbers processes of equal name.
#include <windows.h>
#include <tlhelp32.h>

#include <cstring>
#include <new>

#include "platform/platform.h"

namespace vantrel::platform {

struct ProcessSnapshot {
    HANDLE handle;
    PROCESSENTRY32 entry;  // the ANSI record: szExeFile in the system code page
    bool walking;
};

ProcessSnapshot* snapshot_take() {
    const HANDLE handle = CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    auto* snapshot = new (std::nothrow) ProcessSnapshot;
    if (snapshot == nullptr) {
        CloseHandle(handle);
        return nullptr;
    }
    snapshot->handle = handle;
    std::memset(&snapshot->entry, 0, sizeof snapshot->entry);
    snapshot->entry.dwSize = sizeof snapshot->entry;
    snapshot->walking = false;
    return snapshot;
}

const char* snapshot_next(ProcessSnapshot* snapshot) {
    if (snapshot == nullptr) return nullptr;
    const BOOL found = snapshot->walking ? Process32Next(snapshot->handle, &snapshot->entry)
                                         : Process32First(snapshot->handle, &snapshot->entry);
    snapshot->walking = true;
    if (!found) return nullptr;
    // The field holds MAX_PATH bytes; a name that fills it is ended there.
    snapshot->entry.szExeFile[sizeof snapshot->entry.szExeFile - 1] = '\0';
    return snapshot->entry.szExeFile;
}

void snapshot_close(ProcessSnapshot* snapshot) {
    if (snapshot == nullptr) return;
    CloseHandle(snapshot->handle);
    delete snapshot;
}

}  // namespace vantrel::platform
