#include "monitor/process_table.h"

#include <algorithm>
#include <cstring>

namespace vantrel {

ProcessTable processTable;
CycleState cycleState;

BatchRange batch_range(uint32_t sweepSize, uint32_t batchIndex) {
    const uint32_t first = kBatchSize * batchIndex;
    return {first, std::min(first + kBatchSize - 1, sweepSize)};
}

void clear_table(ProcessTable& table) { std::memset(&table, 0, sizeof table); }

}  // namespace vantrel
