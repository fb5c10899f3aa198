// The arithmetic of the processor-time counters: a reading from two samples.
#pragma once

#include <cstdint>

#include "platform/linux/proc_files.h"

namespace vantrel::procfs {

// A process's processor time over the gap between two samples as a whole
// percentage of one processor, cut at 100: cpuTicks clock ticks (of
// ticksPerSecond each) over gapNs nanoseconds. A gap or tick rate of zero or
// less gives 0.
int32_t process_usage_percent(uint64_t cpuTicks, int64_t gapNs, long ticksPerSecond);

// The busy share of all processors between two samples of /proc/stat, as a
// whole percentage from 0 to 100. No time passed, or counters that went
// backwards, give 0; busy time is never taken as more than the total.
int32_t total_busy_percent(const CpuTimes& before, const CpuTimes& after);

}  // namespace vantrel::procfs
