// Measurement of one batch of the process table and of the machine total.
#pragma once

#include <cstddef>
#include <cstdint>

#include "monitor/process_table.h"

namespace vantrel {

// Usage stored for a slot whose counter gave no reading. Outside 0 to 100, so
// the alert rules and the usage log treat it as no reading.
inline constexpr int32_t kNoReading = -1;

// Prepares the names of the batch, numbers the instances of the sweep, parses
// the exclusion list and measures the batch's processes (when eachenable is
// 1) and the total with counters sampled 500 ms apart.
void measure_batch(ProcessTable& table, uint32_t sweepSize, uint32_t batchIndex);

}  // namespace vantrel
