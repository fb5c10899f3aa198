// Where the executable lives, named in the system code page.
#include <windows.h>

#include <string>

#include "platform/platform.h"

namespace vantrel::platform {

namespace {

// The longest path the system's wide functions take.
constexpr DWORD kLongestPath = 32768;

// The path in the system code page into buf, when it fits and names the same
// file: converted there and back it comes out as it went in. A character
// that the code page lacks turns into '?' or a look-alike on the way, which
// names another file or none.
std::size_t in_code_page(const std::wstring& wide, char* buf, std::size_t cap) {
    const int size = cap > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(cap);
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, buf, size, nullptr, nullptr);
    if (bytes <= 0) return 0;
    std::wstring back(wide.size() + 1, L'\0');
    const int chars = MultiByteToWideChar(CP_ACP, 0, buf, bytes, back.data(), static_cast<int>(back.size()));
    if (chars <= 0 || back.compare(0, wide.size() + 1, wide.c_str(), wide.size() + 1) != 0) return 0;
    return static_cast<std::size_t>(bytes - 1);
}

}  // namespace

std::size_t executable_path(char* buf, std::size_t cap) {
    if (buf == nullptr || cap == 0) return 0;
    const DWORD size = cap > MAXDWORD ? MAXDWORD : static_cast<DWORD>(cap);
    const DWORD n = GetModuleFileNameA(nullptr, buf, size);
    // A result that fills the buffer was cut: it counts as a path that does
    // not fit, and the buffer is left terminated.
    if (n == 0 || n >= size) {
        buf[0] = '\0';
        return 0;
    }
    std::wstring wide(kLongestPath, L'\0');
    const DWORD w = GetModuleFileNameW(nullptr, wide.data(), kLongestPath);
    if (w == 0 || w >= kLongestPath) return n;
    wide.resize(w);
    // A folder whose name holds a character outside the system code page
    // (José on a Japanese Windows) cannot be named in it: the settings and
    // the log beside the program would silently never be read or written.
    // Its short form (C:\Users\JOS~1\...) names the same folder in ASCII
    // where the disk keeps short names, and is taken then; without one the
    // path counts as one that cannot be obtained. Departs from the
    // documented call, whose result is used as it comes.
    if (in_code_page(wide, buf, cap) == n) return n;
    std::wstring brief(kLongestPath, L'\0');
    const DWORD s = GetShortPathNameW(wide.c_str(), brief.data(), kLongestPath);
    if (s != 0 && s < kLongestPath) {
        brief.resize(s);
        const std::size_t length = in_code_page(brief, buf, cap);
        if (length != 0) return length;
    }
    buf[0] = '\0';
    return 0;
}

char directory_separator() { return '\\'; }

}  // namespace vantrel::platform
