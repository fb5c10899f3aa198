#include "log/usage_log.h"

#include <cstdio>

#include "platform/platform.h"
#include "settings/settings_file.h"
#include "settings/settings_table.h"

namespace vantrel {

namespace {

// "%d/%02d/%02d %2d:%02d:%02d\t%d\r\n": the hour is padded with a blank.
std::size_t format_usage_line(char* out, std::size_t cap, const platform::LocalTime& t,
                              int32_t value) {
    const int n = std::snprintf(out, cap, "%d/%02d/%02d %2d:%02d:%02d\t%d\r\n", t.year, t.month,
                                t.day, t.hour, t.minute, t.second, value);
    return n < 0 ? 0 : static_cast<std::size_t>(n);
}

}  // namespace

void append_usage_line(const ProcessTable& table) {
    const platform::LocalTime now = platform::local_time();
    int32_t value = table.slots[kTotalSlot].usage;
    if (value < 0 || value > 100) value = -1;

    char line[100];
    const std::size_t length = format_usage_line(line, sizeof line, now, value);

    char named[StringSetting::kCapacity];
    settings.logfilename.copy_to(named, sizeof named);
    if (platform::append_file_bytes(named, line, length) == 0) return;

    char fallback[kPathBufferSize];
    companion_file_path(CompanionFile::DefaultLog, fallback);
    if (fallback[0] != '\0') platform::append_file_bytes(fallback, line, length);
}

}  // namespace vantrel
