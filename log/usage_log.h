// The usage log: one line per monitor cycle with the local time and the
// machine's total processor usage.
#pragma once

#include "monitor/process_table.h"

namespace vantrel {

// Appends the line for the total of slot 255 (-1 when outside 0 to 100) to
// the file named by logfilename, or, when that cannot be opened, to
// cpuusagelog.txt beside the executable.
void append_usage_line(const ProcessTable& table);

}  // namespace vantrel
