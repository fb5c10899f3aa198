// Drives the profile reader and writer with arbitrary file bytes, names and
// values, and checks what must hold for any input: a value found lies in the
// text, a read value fits its buffer, a write changes only one place, what
// was written is read back, and other keys keep their values.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/linux/profile_text.h"
#include "text/code_page.h"

namespace {

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "profile invariant broken: %s\n", what);
    std::abort();
}

bool blank_at_either_end(const std::string& s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
    return !s.empty() && (blank(s.front()) || blank(s.back()));
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_name(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

void check_read(const std::string& text, const std::string& section, const std::string& key) {
    const auto value = vantrel::profile::find_value(text, section, key);
    if (!value) return;
    require(value->data() >= text.data() && value->data() + value->size() <= text.data() + text.size(),
            "value inside the text");
    require(value->find('\0') == std::string_view::npos, "value ends at a NUL byte");
    const std::string_view unquoted = vantrel::profile::unquote(*value);
    require(unquoted.size() <= value->size(), "unquoting only shortens");
    char out[256];
    const std::size_t n = vantrel::copy_cut(vantrel::CodePage::Utf8, out, sizeof out, unquoted);
    require(n <= 255 && out[n] == '\0', "value cut to 255 bytes");
    vantrel::profile::parse_int(unquoted);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(16);
    const std::string key = input.ConsumeRandomLengthString(16);
    const std::string other = input.ConsumeRandomLengthString(16);
    const std::string value = input.ConsumeRandomLengthString(300);
    const std::string text = input.ConsumeRemainingBytesAsString();

    check_read(text, section, key);
    const auto updated = vantrel::profile::with_value(text, section, key, value);
    if (!updated) return 0;
    check_read(*updated, section, key);

    // One place changed: what the write removed holds no line break.
    std::size_t prefix = 0;
    while (prefix < text.size() && prefix < updated->size() && text[prefix] == (*updated)[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < text.size() - prefix && suffix < updated->size() - prefix &&
           text[text.size() - 1 - suffix] == (*updated)[updated->size() - 1 - suffix])
        ++suffix;
    const std::string removed = text.substr(prefix, text.size() - prefix - suffix);
    require(removed.find_first_of("\r\n") == std::string::npos, "only one line's value replaced");

    // What was written is read back, and writing it again changes nothing
    // (blanks at either end of a value are not read back).
    if (!blank_at_either_end(value)) {
        const auto back = vantrel::profile::find_value(*updated, section, key);
        require(back && *back == value, "written value read back");
        require(vantrel::profile::with_value(*updated, section, key, value) == *updated,
                "second write is a no-op");
    }

    // Other keys of the section and the same key of other sections keep their values.
    if (!same_name(other, key)) {
        require(vantrel::profile::find_value(text, section, other) ==
                    vantrel::profile::find_value(*updated, section, other),
                "other key unchanged");
    }
    if (!same_name(other, section)) {
        require(vantrel::profile::find_value(text, other, key) == vantrel::profile::find_value(*updated, other, key),
                "other section unchanged");
    }
    return 0;
}
