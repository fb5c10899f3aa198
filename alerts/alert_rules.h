// The rules that turn one cycle's readings into what the user sees: at most
// one per-process warning for the batch, the tooltip with the total, the
// total and the rule it meets for a platform whose icon shows them, and the
// overall warning or notice after enough consecutive detections.
#pragma once

#include <cstdint>

#include "monitor/process_table.h"

namespace vantrel {

// Consecutive evaluated cycles in which the overall warning (notice) rule
// counted a detection. Touched only by the worker thread.
extern int32_t warnStreak;
extern int32_t noticeStreak;

void evaluate_alerts(const ProcessTable& table, uint32_t sweepSize, uint32_t batchIndex);

}  // namespace vantrel
