// The profile reader and writer on arbitrary bytes: a value found lies in the text and fits its buffer,
// a write changes one line's value and is read back, and other keys and sections keep their values.
#include <fuzzer/FuzzedDataProvider.h>
#include <strings.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/linux/profile_text.h"
#include "text/code_page.h"

namespace {

namespace profile = vantrel::profile;

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "profile invariant broken: %s\n", what);
    std::abort();
}

void check_read(const std::string& text, const std::string& section, const std::string& key) {
    const auto value = profile::find_value(text, section, key);
    if (!value) return;
    require(value->data() >= text.data() && value->data() + value->size() <= text.data() + text.size() &&
                value->find('\0') == std::string_view::npos, "value inside the text, up to a NUL byte");
    char out[256];
    const std::size_t n = vantrel::copy_cut(vantrel::CodePage::Utf8, out, sizeof out, profile::unquote(*value));
    require(n <= 255 && out[n] == '\0', "value cut to 255 bytes");
    profile::parse_int(profile::unquote(*value));
}

// Equal without regard to ASCII case or the blanks at either end; b holds no NUL byte.
bool same_name(std::string a, std::string b) {
    for (std::string* s : {&a, &b}) {
        s->erase(0, s->find_first_not_of(" \t\v\f"));
        s->erase(s->find_last_not_of(" \t\v\f") + 1);
    }
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(16), key = input.ConsumeRandomLengthString(16);
    const std::string other = input.ConsumeRandomLengthString(16), value = input.ConsumeRandomLengthString(300);
    const std::string text = input.ConsumeRemainingBytesAsString();
    check_read(text, section, key);
    const auto updated = profile::with_value(text, section, key, value);
    if (!updated) return 0;  // so no name or value holds a NUL byte below
    check_read(*updated, section, key);

    // One place changed: what the write removed holds no line break.
    const auto prefix = std::mismatch(text.begin(), text.end(), updated->begin(), updated->end()).first - text.begin();
    const auto suffix =
        std::mismatch(text.rbegin(), text.rend() - prefix, updated->rbegin(), updated->rend() - prefix).first -
        text.rbegin();
    require(text.find_first_of("\r\n", prefix) >= text.size() - suffix, "only one line's value replaced");

    // What was written is read back, and writing it again changes nothing (blanks at either end of
    // a value are not read back).
    if (value.empty() || std::string(" \t\v\f").find_first_of({value.front(), value.back()}) == std::string::npos) {
        require(profile::find_value(*updated, section, key) == value, "written value read back");
        require(profile::with_value(*updated, section, key, value) == *updated, "second write is a no-op");
    }
    // Other keys of the section and the same key of other sections keep their values.
    require(same_name(other, key) ||
                profile::find_value(text, section, other) == profile::find_value(*updated, section, other),
            "other key unchanged");
    require(same_name(other, section) ||
                profile::find_value(text, other, key) == profile::find_value(*updated, other, key),
            "other section unchanged");
    return 0;
}
