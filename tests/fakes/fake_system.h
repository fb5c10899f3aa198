// A scripted stand-in for the system services that the core's unit tests
// replace: processes, counters, the sampling wait, the clock and the code
// page (fake_system.cpp), and the executable's location (fake_state.cpp).
// Files stay real.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vantrel::fake {

// The code page of this build's string literals: the Windows build compiles
// them to CP932, where "表" takes two bytes instead of UTF-8's three.
inline constexpr CodePage kLiteralCodePage = sizeof("表") == 3 ? CodePage::Utf8 : CodePage::Cp932;

struct System {
    CodePage codePage = kLiteralCodePage;
    bool snapshotFails = false;
    std::vector<std::string> processes;  // the names a snapshot lists
    int snapshotsTaken = 0;
    int handlesOpen = 0;  // snapshots and counter queries not yet closed
    // Readings by counter path: other paths read 0, nullopt fails.
    std::map<std::string, std::optional<int32_t>> readings;
    std::vector<std::string> openedPaths;  // in the order opened
    std::vector<uint32_t> sleeps;
    std::function<void()> duringSleep;  // runs inside each wait
    platform::LocalTime now{2008, 3, 7, 9, 5, 2};
    std::string executablePath = "/nonexistent/vantrel";
    char separator = '/';  // of directories in executablePath
};

// The one fake system; reset_system() puts it back to the state above.
inline System& system() {
    static System state;
    return state;
}
inline void reset_system() { system() = System(); }

}  // namespace vantrel::fake
