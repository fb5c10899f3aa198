// The lock of a settings folder, which spans sessions. The session's own
// lock keeps one copy per session; but the same user signed in twice (at
// the console and over a remote desktop) would run two copies on one
// Vantrel.ini, and the later exit would undo the other's changes. So each
// copy also holds a mutex in the global name space, named for its settings
// folder: the folder's long form in capitals (file names match without
// regard to case, and C:\Users\JOS~1 is C:\Users\José), hashed, since a
// path cannot be part of a name. Copies in different folders still run side
// by side. Departs from the documented start, which takes no lock.
#include "platform/win32/settings_lock.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace vantrel::win32 {

namespace {

constexpr DWORD kLongestPath = 32768;

// The folder as every session names it; empty when it cannot be found.
std::wstring folder_key(const char* folder) {
    std::wstring named(kLongestPath, L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, folder, -1, named.data(), static_cast<int>(kLongestPath));
    if (n <= 1) return {};
    named.resize(static_cast<std::size_t>(n - 1));
    std::wstring key(kLongestPath, L'\0');
    const DWORD length = GetLongPathNameW(named.c_str(), key.data(), kLongestPath);
    if (length == 0 || length >= kLongestPath) return {};
    key.resize(length);
    if (key.size() > 3 && key.back() == L'\\') key.pop_back();  // C:\ keeps its backslash
    CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

// FNV-1a over the key's UTF-16 code units.
uint64_t fnv1a(const std::wstring& key) {
    uint64_t hash = 14695981039346656037ull;
    for (const wchar_t unit : key) {
        hash ^= static_cast<uint16_t>(unit);
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace

FolderLock take_folder_lock(const char* folder, DWORD wait_ms) {
    if (folder == nullptr) return FolderLock::Unavailable;
    const std::wstring key = folder_key(folder);
    if (key.empty()) return FolderLock::Unavailable;
    char name[64];
    std::snprintf(name, sizeof name, "Global\\org.vantrel.Vantrel.settings.%016llx",
                  static_cast<unsigned long long>(fnv1a(key)));
    // Never closed when taken: the system lets it go when the process ends.
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    if (mutex == nullptr) {
        // Another user's copy made it, and its access is that user's alone.
        return GetLastError() == ERROR_ACCESS_DENIED ? FolderLock::HeldElsewhere : FolderLock::Unavailable;
    }
    const DWORD wait = WaitForSingleObject(mutex, wait_ms);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) return FolderLock::Taken;
    CloseHandle(mutex);
    return wait == WAIT_TIMEOUT ? FolderLock::HeldElsewhere : FolderLock::Unavailable;
}

}  // namespace vantrel::win32
