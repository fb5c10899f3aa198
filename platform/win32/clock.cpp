// Time services: the sampling wait and the local time.
#include <windows.h>

#include "platform/platform.h"

namespace vantrel::platform {

void sleep_ms(uint32_t ms) { Sleep(ms); }

LocalTime local_time() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace vantrel::platform
