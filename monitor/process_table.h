// The process table and the state that moves a sweep along, batch by batch.
//
// A sweep starts with a snapshot of the process list stored in the table;
// the table is then measured in batches of 32 consecutive slots, one batch
// per monitor cycle. Slot 0 is never filled, slots 1 to 254 hold processes,
// slot 255 holds the machine total.
#pragma once

#include <atomic>
#include <cstdint>

#include "text/executable_name.h"

namespace vantrel {

inline constexpr uint32_t kSlotCount = 256;
inline constexpr uint32_t kMaxProcesses = 254;
inline constexpr uint32_t kTotalSlot = 255;
inline constexpr uint32_t kBatchSize = 32;

// Longest executable name that can be measured. A longer name is stored as
// its first kMaxNameLength + 1 bytes, which the validity rule of the batch
// measurement recognises as too long; it never overflows the field.
inline constexpr uint32_t kMaxNameLength = kMaxExecutableName;

inline constexpr const char* kTotalSlotName = "Processor(_Total)";

struct ProcessSlot {
    char name[kMaxNameLength + 2];  // executable file name; empty when no process
    char shortName[kMaxNameLength + 1];  // the name without its ".exe"
    int32_t usage;     // percent from the last measurement; 0 until measured
    int32_t instance;  // number of valid lower slots with the same name
    int32_t valid;     // 1 when the name is usable for a counter path
};

struct ProcessTable {
    ProcessSlot slots[kSlotCount];
};

struct CycleState {
    std::atomic<int32_t> busy{0};         // a worker is running a cycle
    std::atomic<int32_t> exitPending{0};  // Exit was chosen
    uint32_t sweepSize = 0;   // index of the last filled slot of the sweep
    uint32_t batchIndex = 0;  // batch the next cycle measures; 0 starts a sweep
};

// The process-wide table and state. The table, sweepSize and batchIndex are
// touched only by the worker thread; busy and exitPending are shared.
extern ProcessTable processTable;
extern CycleState cycleState;

// Slots first to last, both included, of batch b of a sweep.
struct BatchRange {
    uint32_t first;
    uint32_t last;
};

BatchRange batch_range(uint32_t sweepSize, uint32_t batchIndex);

// Resets every slot to an empty slot (all bytes zero).
void clear_table(ProcessTable& table);

}  // namespace vantrel
