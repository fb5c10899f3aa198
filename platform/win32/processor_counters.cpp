// Processor-time counters from the Performance Data Helper library: one
// query with one counter each, read as a whole percentage between the
// query's last two samples.
#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>

#include <new>

#include "platform/platform.h"

namespace vantrel::platform {

struct CounterQuery {
    PDH_HQUERY query = nullptr;
    PDH_HCOUNTER counter = nullptr;  // nullptr: the counter could not be attached
};

namespace {

// Stands in for a query that could not even be allocated: it has no
// counter, so its reading fails, and closing it frees nothing.
CounterQuery unattachedQuery;

}  // namespace

CounterQuery* counter_open(const char* path) {
    auto* q = new (std::nothrow) CounterQuery;
    if (q == nullptr) return &unattachedQuery;
    if (PdhOpenQueryA(nullptr, 0, &q->query) != ERROR_SUCCESS) {
        q->query = nullptr;
        return q;
    }
    if (path == nullptr) return q;
    // The library names counters in the system's language: on a Windows in
    // another language "\Processor(_Total)\% Processor Time" is not found by
    // that name, no reading would ever arrive and every rule would fall
    // silent. Where the add fails, the same path is added again by its
    // English name, which every language knows (Windows Vista and later), so
    // the readings are the same everywhere. Departs from the documented add,
    // which is the one call alone.
    if (PdhAddCounterA(q->query, path, 0, &q->counter) != ERROR_SUCCESS &&
        PdhAddEnglishCounterA(q->query, path, 0, &q->counter) != ERROR_SUCCESS)
        q->counter = nullptr;
    return q;
}

void counter_collect(CounterQuery* q) {
    if (q != nullptr && q->query != nullptr) PdhCollectQueryData(q->query);
}

bool counter_read(CounterQuery* q, int32_t* value) {
    if (q == nullptr || q->counter == nullptr || value == nullptr) return false;
    // A failed read leaves the record alone; only a valid reading is taken,
    // so a counter that fails never passes on an earlier value.
    PDH_FMT_COUNTERVALUE reading{};
    if (PdhGetFormattedCounterValue(q->counter, PDH_FMT_LONG, nullptr, &reading) != ERROR_SUCCESS)
        return false;
    if (reading.CStatus != PDH_CSTATUS_VALID_DATA && reading.CStatus != PDH_CSTATUS_NEW_DATA) return false;
    *value = static_cast<int32_t>(reading.longValue);
    return true;
}

void counter_close(CounterQuery* q) {
    if (q == nullptr || q == &unattachedQuery) return;
    if (q->query != nullptr) PdhCloseQuery(q->query);  // closes its counter too
    delete q;
}

}  // namespace vantrel::platform
