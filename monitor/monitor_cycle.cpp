#include "monitor/monitor_cycle.h"

#include <cstring>

#include "alerts/alert_rules.h"
#include "log/usage_log.h"
#include "monitor/batch_measurement.h"
#include "monitor/process_table.h"
#include "platform/platform.h"
#include "settings/settings_table.h"
#include "text/code_page.h"

namespace vantrel {

namespace {

// Records the processes of a new snapshot in slots 1 to 254. A snapshot
// without entries leaves slot 1 empty and the sweep size at 1.
void record_snapshot(platform::ProcessSnapshot* snapshot, ProcessTable& table, CycleState& state) {
    const char* name = platform::snapshot_next(snapshot);
    for (uint32_t j = 1; j <= kMaxProcesses; ++j) {
        copy_bytes(table.slots[j].name, sizeof table.slots[j].name, name != nullptr ? name : "");
        state.sweepSize = j;
        if (name == nullptr || j == kMaxProcesses) break;
        name = platform::snapshot_next(snapshot);
        if (name == nullptr) break;
    }
    copy_bytes(table.slots[kTotalSlot].name, sizeof table.slots[kTotalSlot].name, kTotalSlotName);
}

}  // namespace

void run_cycle() {
    CycleState& state = cycleState;
    if (kBatchSize * state.batchIndex > state.sweepSize) state.batchIndex = 0;

    platform::ProcessSnapshot* snapshot = nullptr;
    if (state.batchIndex == 0) {
        clear_table(processTable);
        snapshot = platform::snapshot_take();
        if (snapshot == nullptr) {
            state.busy = 0;
            return;
        }
        record_snapshot(snapshot, processTable, state);
    }

    measure_batch(processTable, state.sweepSize, state.batchIndex);
    evaluate_alerts(processTable, state.sweepSize, state.batchIndex);
    if (settings.writelogfile.get() == 1) append_usage_line(processTable);

    if (snapshot != nullptr) platform::snapshot_close(snapshot);
    ++state.batchIndex;
    state.busy = 0;
}

}  // namespace vantrel
