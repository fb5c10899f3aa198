// Drives expand_placeholder with arbitrary texts, tokens, replacements and limits up to 1024, in both
// code pages, and compares the result with a plain expansion of the whole text cut to limit - 1 bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "alerts/message_template.h"
#include "platform/platform.h"
#include "text/code_page.h"

namespace {

vantrel::CodePage codePage = vantrel::CodePage::Utf8;

std::size_t char_size(const std::string& text, std::size_t i) {
    return vantrel::is_lead_byte(codePage, static_cast<unsigned char>(text[i])) ? 2 : 1;
}

// Every occurrence of token that begins on a character boundary replaced, then
// cut as the code page cuts. A replacement that ends on a lead byte takes the
// text's next byte as its trail byte.
std::string reference(const std::string& text, const std::string& token, const std::string& replacement,
                      std::size_t limit) {
    std::size_t end = 0;
    while (end < replacement.size()) end += char_size(replacement, end);
    std::string full;
    for (std::size_t i = 0; i < text.size();) {
        if (!token.empty() && text.compare(i, token.size(), token) == 0) {
            full += replacement;
            i += token.size();
            if (end > replacement.size() && i < text.size()) full += text[i++];
        } else {
            const std::size_t n = std::min(char_size(text, i), text.size() - i);
            full.append(text, i, n);
            i += n;
        }
    }
    return full.substr(0, vantrel::cut_length(codePage, full, limit - 1));
}

std::string c_string(std::string s) { return s.substr(0, s.find('\0')); }

}  // namespace

// The code page of the run.
namespace vantrel::platform {
CodePage system_code_page() { return codePage; }
}  // namespace vantrel::platform

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    codePage = input.ConsumeBool() ? vantrel::CodePage::Cp932 : vantrel::CodePage::Utf8;
    const std::size_t limit = input.ConsumeIntegralInRange<std::size_t>(0, 1024);
    const std::string token = c_string(input.ConsumeRandomLengthString(8));
    const std::string replacement = c_string(input.ConsumeRandomLengthString(300));
    const std::string text = c_string(input.ConsumeRemainingBytesAsString());

    // A buffer of exactly the size the caller promises (or the text's, if
    // larger), so that the address sanitizer sees any byte written past it.
    std::vector<char> buffer(std::max(limit, text.size() + 1), '\0');
    std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
    const int status = vantrel::expand_placeholder(buffer.data(), limit, token.c_str(), replacement.c_str());
    const std::string result(buffer.data(), strnlen(buffer.data(), buffer.size()));
    if (result != (limit == 0 ? text : reference(text, token, replacement, limit)) || status != (limit == 0)) {
        std::fprintf(stderr, "expand_placeholder: limit 0 keeps the text, others give the cut full expansion\n");
        std::abort();
    }
    return 0;
}
