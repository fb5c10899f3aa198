// The private-profile (INI) format, on the bytes of a file: finding a key's
// value and producing the file's new text with one key set. No file access.
//
// The rules are those of the Windows profile functions:
//  - CR LF, LF and CR each end a line; a UTF-8 byte-order mark before the
//    first line is skipped;
//  - blanks (space, tab, vertical tab, form feed) around a line, a name and
//    a value are not part of them;
//  - a line beginning with ";" is a comment;
//  - a line beginning with "[" and holding a "]" opens a section, named by
//    the text between the "[" and the last "]";
//  - any other line is a key of the section above it: the name before the
//    first "=", the value after it; a line without "=" is a key without a
//    value, which reads as missing; keys above the first section belong to
//    none;
//  - section and key names match without regard to ASCII case; only the
//    first section of a name is read, and in it the first key of a name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel::profile {

// The value text of key in section (names matched without the blanks at
// their ends), ending at its first NUL byte (as a caller holding C strings
// sees it); nullopt when the section or the key is missing. The result is a
// view into text.
std::optional<std::string_view> find_value(std::string_view text, std::string_view section,
                                           std::string_view key);

// The value without one pair of enclosing double or single quotes; a quote
// without its partner stays.
std::string_view unquote(std::string_view value);

// The number a value text stands for: after any leading spaces and control
// bytes, an optional sign, then "0x", "0o" or "0b" for a hexadecimal,
// octal or binary number, else decimal digits, up to the first byte that is
// no digit of the base. No digits give 0; the result wraps modulo 2^32 and a
// minus sign negates it in two's complement.
uint32_t parse_int(std::string_view value);

// The text with key in section set to value. Names are matched without the
// blanks at their ends, and of the names and the value, what is written
// begins after their leading blanks. A key that is there gets the new value
// in place of its old one, every other byte of its line kept (a key without
// "=" gets "=" and the value after its name). A missing key gets the line
// "key=value" after the last line of its section that is not blank, so blank
// lines that close the section stay below it. A missing section is appended
// with the key at the end of the text. Lines added end in CR LF, and an
// unterminated last line they follow gets CR LF. Every other byte is kept.
//
// nullopt when a name could not be read back (it is blank, or is a key
// holding "=" or beginning with ";" or "["), or when a name or the value
// holds a CR, LF or NUL byte. Trailing blanks of an unquoted value are not
// read back; callers quote such values.
std::optional<std::string> with_value(std::string_view text, std::string_view section,
                                      std::string_view key, std::string_view value);

}  // namespace vantrel::profile
