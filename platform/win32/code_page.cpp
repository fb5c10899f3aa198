// The system code page, in which every text of the program is a byte string:
// its lead bytes as the system reports them, so that a search never starts
// on the second byte of a double-byte character whatever the code page.
#include <windows.h>

#include "platform/platform.h"

namespace vantrel::platform {

namespace {

CodePage query_code_page() {
    const UINT id = GetACP();
    if (id == CP_UTF8) return CodePage::Utf8;
    // A code page the system cannot describe has no double-byte characters
    // that it would show either.
    CPINFO info{};
    if (!GetCPInfo(id, &info)) return ansi_code_page(nullptr, 0);
    return ansi_code_page(info.LeadByte, MAX_LEADBYTES);
}

}  // namespace

CodePage system_code_page() {
    static const CodePage cp = query_code_page();
    return cp;
}

}  // namespace vantrel::platform
