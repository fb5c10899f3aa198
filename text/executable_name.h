// Executable names as the counter service knows them: a process counter
// names its process by the executable's file name without the ".exe". The
// monitor makes counter paths with this rule and the Linux counter service
// resolves them with it.
#pragma once

#include <cstddef>
#include <string_view>

namespace vantrel {

// Longest executable name that can be measured. Longer names never get a
// counter.
inline constexpr std::size_t kMaxExecutableName = 127;

// The length of the name without its extension: the name is cut at the
// first ".exe", or failing that the first ".Exe", or failing that the first
// ".EXE"; any other spelling, or no extension, leaves it whole.
std::size_t short_name_length(std::string_view name);

}  // namespace vantrel
