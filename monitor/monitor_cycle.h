// One monitor cycle: a sweep start when due, the measurement of the current
// batch and the total, the alert rules and the usage log line.
#pragma once

namespace vantrel {

// Runs one cycle on the process-wide table and state. Called only from the
// worker thread; ends by clearing cycleState.busy.
void run_cycle();

}  // namespace vantrel
