// Time services: the sampling wait and the local time.
#include <ctime>

#include "platform/platform.h"

namespace vantrel::platform {

void sleep_ms(uint32_t ms) {
    timespec remaining{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    // Resume after a signal so that the wait is the whole gap.
    while (nanosleep(&remaining, &remaining) != 0) {
    }
}

LocalTime local_time() {
    const time_t now = time(nullptr);
    tm parts{};
    localtime_r(&now, &parts);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour, parts.tm_min, parts.tm_sec};
}

}  // namespace vantrel::platform
