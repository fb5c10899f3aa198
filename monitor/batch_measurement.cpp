#include "monitor/batch_measurement.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "monitor/ignore_list.h"
#include "platform/platform.h"
#include "settings/settings_table.h"
#include "text/code_page.h"
#include "text/executable_name.h"

namespace vantrel {

namespace {

constexpr uint32_t kSamplingGapMs = 500;

void prepare_name(ProcessSlot& slot) {
    const std::size_t length = std::strlen(slot.name);
    if (length == 0 || length > kMaxNameLength) return;  // stays not valid
    slot.valid = 1;
    const std::string_view name(slot.name, length);
    copy_bytes(slot.shortName, sizeof slot.shortName, name.substr(0, short_name_length(name)));
}

// Counts names in slot order without comparing every pair: an open-addressing
// table of the names seen so far, big enough for all 256 slots.
class NameCounter {
public:
    int32_t next_instance(std::string_view name) {
        std::size_t i = hash(name) & (kBuckets - 1);
        while (buckets_[i].count != 0 && buckets_[i].name != name) i = (i + 1) & (kBuckets - 1);
        buckets_[i].name = name;
        return buckets_[i].count++;
    }

private:
    static constexpr std::size_t kBuckets = 512;
    struct Bucket {
        std::string_view name;
        int32_t count = 0;
    };
    static std::size_t hash(std::string_view s) {
        std::size_t h = 14695981039346656037ull;
        for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
        return h;
    }
    Bucket buckets_[kBuckets];
};

// Each slot's instance is the number of valid lower slots with the same full
// name (case significant), so the first process of a name gets 0.
void number_instances(ProcessTable& table, uint32_t sweepSize) {
    NameCounter counter;
    for (uint32_t s = 0; s <= sweepSize && s < kTotalSlot; ++s) {
        ProcessSlot& slot = table.slots[s];
        slot.instance = slot.valid ? counter.next_instance(slot.name) : 0;
    }
}

int32_t read_and_close(platform::CounterQuery* query) {
    platform::counter_collect(query);
    int32_t value = kNoReading;
    if (!platform::counter_read(query, &value)) value = kNoReading;
    platform::counter_close(query);
    return value;
}

// The counter path of one process, or of the machine total, into out.
void format_process_counter_path(const ProcessSlot& slot, char* out, std::size_t cap) {
    std::snprintf(out, cap, "\\Process(%s#%d)\\%c Processor Time", slot.shortName, slot.instance,
                  '%');
}

void format_total_counter_path(char* out, std::size_t cap) {
    std::snprintf(out, cap, "\\Processor(_Total)\\%c Processor Time", '%');
}

}  // namespace

void measure_batch(ProcessTable& table, uint32_t sweepSize, uint32_t batchIndex) {
    const BatchRange range = batch_range(sweepSize, batchIndex);
    for (uint32_t s = range.first; s <= range.last && s < kTotalSlot; ++s) prepare_name(table.slots[s]);
    number_instances(table, sweepSize);

    char ignoreText[kIgnoreEntrySize];
    settings.ignoreproc.copy_to(ignoreText, sizeof ignoreText);
    parse_ignore_list(ignoreList, ignoreText);

    // Every counter of the batch is primed before the one wait and read after
    // it, so a cycle costs one sampling gap however many processes it holds.
    platform::CounterQuery* queries[kSlotCount] = {};
    char path[1024];
    if (settings.eachenable.get() == 1) {
        for (uint32_t s = range.first; s <= range.last && s < kTotalSlot; ++s) {
            const ProcessSlot& slot = table.slots[s];
            if (!slot.valid || is_excluded(ignoreList, slot.name)) continue;
            format_process_counter_path(slot, path, sizeof path);
            queries[s] = platform::counter_open(path);
            platform::counter_collect(queries[s]);
        }
    }
    format_total_counter_path(path, sizeof path);
    queries[kTotalSlot] = platform::counter_open(path);
    platform::counter_collect(queries[kTotalSlot]);

    platform::sleep_ms(kSamplingGapMs);

    for (uint32_t s = range.first; s <= range.last && s < kTotalSlot; ++s) {
        if (queries[s] != nullptr) table.slots[s].usage = read_and_close(queries[s]);
    }
    table.slots[kTotalSlot].usage = read_and_close(queries[kTotalSlot]);
}

}  // namespace vantrel
