// Drives expand_placeholder with arbitrary texts, tokens, replacements and
// limits up to 1024, in both code pages, and compares the result with a
// plain left-to-right expansion of the whole text cut to limit - 1 bytes.
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

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "expand_placeholder: %s\n", what);
    std::abort();
}

std::size_t char_size(const std::string& text, std::size_t i) {
    return vantrel::is_lead_byte(codePage, static_cast<unsigned char>(text[i])) ? 2 : 1;
}

// True when the text ends on a character boundary (no lead byte left open).
bool whole_characters(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) i += char_size(text, i);
    return i == text.size();
}

// Every occurrence of token that begins on a character boundary replaced,
// then cut as the code page cuts.
std::string reference(const std::string& text, const std::string& token, const std::string& replacement,
                      std::size_t limit) {
    std::string full;
    for (std::size_t i = 0; i < text.size();) {
        if (!token.empty() && text.compare(i, token.size(), token) == 0) {
            full += replacement;
            i += token.size();
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

    // A buffer of exactly the size the caller promises, so that the address
    // sanitizer sees any byte written past it.
    std::vector<char> buffer(std::max(limit, text.size() + 1), '\0');
    std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
    const int status = vantrel::expand_placeholder(buffer.data(), limit, token.c_str(), replacement.c_str());
    const std::string result(buffer.data(), strnlen(buffer.data(), buffer.size()));
    require(result.size() < buffer.size(), "result terminated inside the buffer");
    if (limit == 0) {
        require(status == 1 && result == text, "limit 0 refused, text untouched");
        return 0;
    }
    require(status == 0, "status 0");
    require(result.size() <= limit - 1, "result within limit - 1 bytes");
    // Where a replacement ends inside a double-byte character, the search
    // resumes on the byte after it, where the plain expansion would not.
    if (whole_characters(replacement)) {
        require(result == reference(text, token, replacement, limit), "equals the cut full expansion");
    }
    return 0;
}
