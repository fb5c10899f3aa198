// Byte-string helpers that respect the system code page.
//
// Texts are byte strings in the system code page: CP932 in the Windows build,
// UTF-8 on Linux. Limits are counted in bytes. Two rules differ by code page:
//  - where a character may begin (a CP932 trail byte can equal an ASCII byte
//    such as '{', so a search must step over double-byte characters);
//  - where a text may be cut (CP932 cuts are by bytes, as the Windows build
//    always did; a UTF-8 cut never splits a character, because the desktop's
//    notification services accept only valid UTF-8).
#pragma once

#include <cstddef>
#include <string_view>

namespace vantrel {

enum class CodePage { Utf8, Cp932 };

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

}  // namespace vantrel
