// The usage log: one line per monitor cycle with the local time and the
// machine's total processor usage.
#pragma once

#include <cstddef>

#include "monitor/process_table.h"
#include "platform/platform.h"

namespace vantrel {

// Formats "%d/%02d/%02d %2d:%02d:%02d\t%d\r\n" into out (at least 100 bytes);
// returns the length.
std::size_t format_usage_line(char* out, std::size_t cap, const platform::LocalTime& time,
                              int32_t value);

// Appends the line for the total of slot 255 (-1 when outside 0 to 100) to
// the file named by logfilename, or, when that cannot be opened, to
// cpuusagelog.txt beside the executable.
void append_usage_line(const ProcessTable& table);

}  // namespace vantrel
