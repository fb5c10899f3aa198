// Byte-string helpers that respect the system code page.
//
// Texts are byte strings in the system code page: the Windows code page of
// the system in the Windows build (CP932 on the Japanese systems the program
// is written for), UTF-8 on Linux. Limits are counted in bytes. Two rules
// differ by code page:
//  - where a character may begin (a CP932 trail byte can equal an ASCII byte
//    such as '{', so a search must step over double-byte characters);
//  - where a text may be cut (Windows code pages are cut by bytes, as the
//    Windows build always did; a UTF-8 cut never splits a character, because
//    the desktop's notification services accept only valid UTF-8).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantrel {

// How the bytes of a code page make characters: UTF-8, or a Windows ANSI
// code page of single bytes and, in the East Asian ones (932, 936, 949,
// 950), double-byte characters; a single-byte code page such as 1252 has no
// lead bytes.
struct CodePage {
    enum class Kind : uint8_t { Utf8, Ansi };

    Kind kind;
    // Bit b of leadBytes[b / 32]: byte b begins a double-byte character.
    std::array<uint32_t, 8> leadBytes;

    static const CodePage Utf8;   // the Linux build's texts
    static const CodePage Cp932;  // Japanese Windows: leads 0x81-0x9F and 0xE0-0xFC
};

// An ANSI code page whose lead bytes are the ranges of pairs (first, last),
// as Windows reports them: at most count bytes, ending early at a pair of
// zeros.
constexpr CodePage ansi_code_page(const unsigned char* ranges, std::size_t count) {
    CodePage cp{CodePage::Kind::Ansi, {}};
    for (std::size_t i = 0; i + 1 < count && (ranges[i] != 0 || ranges[i + 1] != 0); i += 2) {
        for (unsigned b = ranges[i]; b <= ranges[i + 1] && b < 256; ++b) cp.leadBytes[b / 32] |= 1u << (b % 32);
    }
    return cp;
}

inline constexpr CodePage CodePage::Utf8{CodePage::Kind::Utf8, {}};
inline constexpr unsigned char kCp932LeadRanges[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0};
inline constexpr CodePage CodePage::Cp932 = ansi_code_page(kCp932LeadRanges, 6);

// True when b begins a double-byte character in the code page.
bool is_lead_byte(CodePage cp, unsigned char b);

// Length of the longest prefix of text, at most max bytes, that the code page
// allows as a cut.
std::size_t cut_length(CodePage cp, std::string_view text, std::size_t max);

// Copies the prefix allowed by cut_length(cp, src, cap - 1) into dst and
// terminates it. cap must be at least 1. Returns the number of bytes copied.
std::size_t copy_cut(CodePage cp, char* dst, std::size_t cap, std::string_view src);

// Copies at most cap - 1 bytes of src into dst, cut by bytes, and terminates.
// For fields whose limit is a plain byte count (names, list entries).
std::size_t copy_bytes(char* dst, std::size_t cap, std::string_view src);

// The first character boundary at or after target, walking from boundary,
// which must itself be a character boundary at or before target.
std::size_t next_boundary(CodePage cp, std::string_view text, std::size_t boundary,
                          std::size_t target);

// Offset of the first occurrence of token in text at or after from, where the
// match begins on a character boundary of the code page; npos when none.
// from must be a character boundary.
std::size_t find_token(CodePage cp, std::string_view text, std::string_view token,
                       std::size_t from);

// Offset of the last byte c in text that stands on a character boundary, so
// never the second byte of a double-byte character (in code page 932 the
// second byte of 表 or ソ is a backslash); npos when none.
std::size_t find_last_char(CodePage cp, std::string_view text, char c);

}  // namespace vantrel
