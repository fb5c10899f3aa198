#include "alerts/message_template.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "text/code_page.h"

namespace vantrel {

int expand_placeholder(char* buffer, std::size_t limit, const char* token, const char* replacement) {
    if (limit == 0 || limit > kMaxExpandLimit) return 1;
    const CodePage cp = platform::system_code_page();
    const std::string_view text(buffer);
    const std::string_view tok(token);
    const std::string_view rep(replacement);
    // 1 when the replacement ends with the lead byte of a double-byte
    // character: the text's next byte is then its trail byte, where no match
    // may begin.
    const std::size_t overrun = next_boundary(cp, rep, 0, rep.size()) - rep.size();

    // The expansion is built left to right. Its first limit bytes decide the
    // result (limit - 1 are kept, and the next one tells a UTF-8 cut whether
    // it falls inside a character), so the work stops there however often
    // the token occurs, and text inserted by a replacement is never searched.
    std::string out;
    std::size_t copied = 0;  // the text before this offset is in out
    std::size_t from = 0;    // where the search goes on: a character boundary
    while (!tok.empty() && out.size() < limit && from < text.size()) {
        const std::size_t at = find_token(cp, text, tok, from);
        if (at == std::string_view::npos || out.size() + (at - copied) >= limit) break;
        out.append(text.substr(copied, at - copied)).append(rep);
        copied = at + tok.size();
        from = copied + overrun;
    }
    out.append(text.substr(copied, out.size() < limit ? limit - out.size() : 0));
    copy_cut(cp, buffer, limit, out);
    return 0;
}

void compose_message(char* title, char* message, const char* titleTemplate,
                     const char* messageTemplate, const char* processName, int32_t usage) {
    const CodePage cp = platform::system_code_page();
    copy_cut(cp, title, kTitleBufferSize, titleTemplate);
    copy_cut(cp, message, kMessageBufferSize, messageTemplate);
    if (processName != nullptr) expand_placeholder(message, kExpandLimit, "{p}", processName);

    char number[24];  // "ERR[-2147483648]" and its terminator fit
    // One unsigned comparison: every negative value is outside the range too.
    std::snprintf(number, sizeof number, static_cast<uint32_t>(usage) <= 100u ? "%d" : "ERR[%d]",
                  usage);
    expand_placeholder(message, kExpandLimit, "{u}", number);
}

}  // namespace vantrel
