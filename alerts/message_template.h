// Balloon texts made from user-editable templates with the placeholders
// "{p}" (process name) and "{u}" (usage percentage).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

inline constexpr std::size_t kTitleBufferSize = 64;     // a title holds at most 63 bytes
inline constexpr std::size_t kMessageBufferSize = 256;  // a message holds at most 254 bytes
inline constexpr std::size_t kExpandLimit = 255;
inline constexpr std::size_t kMaxExpandLimit = 204803;

// Replaces the occurrences of token in the terminated text of buffer by
// replacement, left to right, keeping the first limit - 1 bytes. A match
// never begins on the trail byte of a double-byte character, and text
// inserted by a replacement is not searched again. Returns 0, or 1 without
// touching the buffer when limit is 0 or larger than kMaxExpandLimit. The
// buffer holds at least limit bytes.
int expand_placeholder(char* buffer, std::size_t limit, const char* token, const char* replacement);

// Fills title (64 bytes) with the title template, unexpanded, and message
// (256 bytes) with the message template with "{p}" replaced by processName
// (when given) and then "{u}" by the usage, or by ERR[usage] when the usage
// lies outside 0 to 100.
void compose_message(char* title, char* message, const char* titleTemplate,
                     const char* messageTemplate, const char* processName, int32_t usage);

}  // namespace vantrel
