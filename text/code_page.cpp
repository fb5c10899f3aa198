#include "text/code_page.h"

#include <cstring>

namespace vantrel {

bool is_lead_byte(CodePage cp, unsigned char b) {
    // In UTF-8 no ASCII byte is ever part of a multi-byte character, so every
    // ASCII token can be matched at any byte: UTF-8 has no lead bytes to step
    // over, and its leadBytes are all clear.
    return (cp.leadBytes[b / 32] >> (b % 32) & 1u) != 0;
}

std::size_t cut_length(CodePage cp, std::string_view text, std::size_t max) {
    if (text.size() <= max) return text.size();
    if (cp.kind == CodePage::Kind::Ansi) return max;
    // Back off over continuation bytes (10xxxxxx) so that the cut lands on the
    // first byte of a character; the character there is then left out whole.
    std::size_t n = max;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return n;
}

std::size_t copy_cut(CodePage cp, char* dst, std::size_t cap, std::string_view src) {
    const std::size_t n = cut_length(cp, src, cap - 1);
    std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
    return n;
}

std::size_t copy_bytes(char* dst, std::size_t cap, std::string_view src) {
    const std::size_t n = src.size() < cap - 1 ? src.size() : cap - 1;
    std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
    return n;
}

namespace {

std::size_t char_step(CodePage cp, std::string_view text, std::size_t i) {
    return is_lead_byte(cp, static_cast<unsigned char>(text[i])) ? 2 : 1;
}

}  // namespace

std::size_t next_boundary(CodePage cp, std::string_view text, std::size_t boundary,
                          std::size_t target) {
    while (boundary < target && boundary < text.size()) boundary += char_step(cp, text, boundary);
    return boundary < target ? target : boundary;
}

std::size_t find_token(CodePage cp, std::string_view text, std::string_view token,
                       std::size_t from) {
    if (token.empty()) return std::string_view::npos;
    if (cp.kind == CodePage::Kind::Utf8) return text.find(token, from);
    // Step character by character so that a match never begins on the
    // second byte of a double-byte character.
    std::size_t i = from;
    while (i + token.size() <= text.size()) {
        if (text.compare(i, token.size(), token) == 0) return i;
        i += char_step(cp, text, i);
    }
    return std::string_view::npos;
}

std::size_t find_last_char(CodePage cp, std::string_view text, char c) {
    const std::string_view token(&c, 1);
    std::size_t last = std::string_view::npos;
    // The byte after a single-byte match is again a character boundary.
    for (std::size_t i = find_token(cp, text, token, 0); i != std::string_view::npos;
         i = find_token(cp, text, token, i + 1))
        last = i;
    return last;
}

}  // namespace vantrel
