// A scripted stand-in for the system services that the core's unit tests
// replace: processes, counters, the sampling wait, the clock and the code
// page (fake_system.cpp), and the executable's location (fake_state.cpp).
// Files stay real.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
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
    int snapshotsOpen = 0;
    std::map<std::string, int32_t> readings;  // by counter path; others read 0
    std::vector<std::string> failingPaths;
    std::vector<std::string> openedPaths;     // in the order opened
    int queriesOpen = 0;
    std::vector<uint32_t> sleeps;
    std::function<void()> duringSleep;        // runs inside each wait
    platform::LocalTime now{2008, 3, 7, 9, 5, 2};
    std::string executablePath = "/nonexistent/vantrel";
};

// The one fake system; reset_system() puts it back to the state above.
System& system();
void reset_system();

}  // namespace vantrel::fake
