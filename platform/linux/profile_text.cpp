#include "platform/linux/profile_text.h"

#include <cstddef>

namespace vantrel::profile {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view trim_front(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view trim(std::string_view s) {
    s = trim_front(s);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    }
    return true;
}

enum class LineKind { Blank, Comment, Section, Key };

struct Line {
    LineKind kind;
    std::size_t end;         // one past the line's last byte, before its line end
    std::size_t next;        // where the next line begins
    std::string_view name;   // of a section or key, blanks trimmed; a view into the text
    std::string_view value;  // of a key, blanks trimmed; a view into the text
    bool hasValue = false;   // a key line holds a "="
};

Line read_line(std::string_view text, std::size_t begin) {
    // One pass over plain bytes, whichever of CR and LF the file uses.
    const char* const bytes = text.data();
    const std::size_t size = text.size();
    std::size_t end = begin;
    while (end < size && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    const std::size_t next = end == size ? end : end + (text.compare(end, 2, kLineEnd) == 0 ? 2 : 1);
    Line line{LineKind::Key, end, next, {}, {}};

    const std::string_view content = trim(text.substr(begin, end - begin));
    if (content.empty()) {
        line.kind = LineKind::Blank;
    } else if (content.front() == ';') {
        line.kind = LineKind::Comment;
    } else if (content.front() == '[' && content.find(']') != std::string_view::npos) {
        line.kind = LineKind::Section;
        line.name = trim(content.substr(1, content.rfind(']') - 1));
    } else if (const std::size_t equals = content.find('='); equals != std::string_view::npos) {
        line.name = trim(content.substr(0, equals));
        line.value = trim(content.substr(equals + 1));
        line.hasValue = true;
    } else {
        line.name = content;  // a key without a value
    }
    return line;
}

// Where a key stands in a text, as far as it is there.
struct KeyPlace {
    bool sectionFound = false;
    bool keyFound = false;
    Line key{};  // the key's line, when found
    // Where a new key line of the found section goes (after its last line
    // that is not blank), and whether the line before that point lacks a
    // line end (it is the text's last line).
    std::size_t insertAt = 0;
    bool insertAfterOpenLine = false;
    // The text's last line, looked at when the section is missing.
    bool hasLines = false;
    Line lastLine{};
};

KeyPlace locate(std::string_view text, std::string_view section, std::string_view key) {
    KeyPlace place;
    std::size_t pos = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    while (pos < text.size()) {
        const Line line = read_line(text, pos);
        pos = line.next;
        place.hasLines = true;
        place.lastLine = line;
        const bool header = line.kind == LineKind::Section;
        if (header && place.sectionFound) break;  // the section ends here
        const bool opensSection = header && same_name(line.name, section);
        const bool inSection = place.sectionFound && line.kind != LineKind::Blank;
        if (inSection && line.kind == LineKind::Key && same_name(line.name, key)) {
            place.keyFound = true;
            place.key = line;
            break;
        }
        if (opensSection || inSection) {
            place.sectionFound = true;
            place.insertAt = line.next;
            place.insertAfterOpenLine = line.next == line.end;
        }
    }
    return place;
}

// A CR or LF would end the line, a NUL the C string that carries the text.
bool has_unstorable_byte(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos;
}

bool storable_section(std::string_view name) {
    return !trim(name).empty() && !has_unstorable_byte(name);
}

bool storable_key(std::string_view name) {
    name = trim_front(name);
    return storable_section(name) && name.front() != ';' && name.front() != '[' &&
           name.find('=') == name.npos;
}

void append_key_line(std::string& out, std::string_view key, std::string_view value) {
    out.append(key).append("=").append(value).append(kLineEnd);
}

}  // namespace

std::optional<std::string_view> find_value(std::string_view text, std::string_view section,
                                           std::string_view key) {
    const KeyPlace place = locate(text, trim(section), trim(key));
    if (!place.keyFound || !place.key.hasValue) return std::nullopt;
    const std::string_view value = place.key.value;
    return value.substr(0, value.find('\0'));
}

std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

uint32_t parse_int(std::string_view value) {
    std::size_t i = 0;
    while (i < value.size() && static_cast<unsigned char>(value[i]) <= ' ') ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    uint32_t base = 10;
    if (i + 1 < value.size() && value[i] == '0') {
        const char prefix = value[i + 1];
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10) i += 2;
    }
    uint32_t total = 0;
    for (; i < value.size(); ++i) {
        const char c = ascii_lower(value[i]);
        const uint32_t digit = c >= '0' && c <= '9'   ? static_cast<uint32_t>(c - '0')
                               : c >= 'a' && c <= 'z' ? static_cast<uint32_t>(c - 'a' + 10)
                                                      : base;
        if (digit >= base) break;
        total = total * base + digit;
    }
    return negative ? 0u - total : total;
}

std::optional<std::string> with_value(std::string_view text, std::string_view section,
                                      std::string_view key, std::string_view value) {
    if (!storable_section(section) || !storable_key(key) || has_unstorable_byte(value)) return std::nullopt;
    // Names are found without their blanks; what is written of a name or
    // the value begins after its leading blanks.
    section = trim_front(section);
    key = trim_front(key);
    value = trim_front(value);
    const KeyPlace place = locate(text, trim(section), trim(key));
    std::string out;
    out.reserve(text.size() + section.size() + key.size() + value.size() + 16);

    if (place.keyFound && place.key.hasValue) {
        const std::size_t from = static_cast<std::size_t>(place.key.value.data() - text.data());
        out.append(text.substr(0, from)).append(value).append(text.substr(from + place.key.value.size()));
    } else if (place.keyFound) {
        // A key line without "=" gets one, with the value, after its name.
        const std::size_t from = static_cast<std::size_t>(place.key.name.data() - text.data()) + place.key.name.size();
        out.append(text.substr(0, from)).append("=").append(value).append(text.substr(from));
    } else if (place.sectionFound) {
        out.append(text.substr(0, place.insertAt));
        if (place.insertAfterOpenLine) out.append(kLineEnd);
        append_key_line(out, key, value);
        out.append(text.substr(place.insertAt));
    } else {
        out.append(text);
        if (place.hasLines && place.lastLine.next == place.lastLine.end) out.append(kLineEnd);
        out.append("[").append(section).append("]").append(kLineEnd);
        append_key_line(out, key, value);
    }
    return out;
}

}  // namespace vantrel::profile
