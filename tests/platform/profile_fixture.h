// The fixture of the profile (INI) tests: a file p.ini in the test's folder,
// read through the platform's profile functions.
#pragma once

#include <string>

#include "platform/platform.h"
#include "tests/core/core_fixture.h"

namespace vantrel::test {

class ProfileTest : public CoreTest {
protected:
    std::string ini() const { return path("p.ini"); }
    // Key k of section Base (or another key) as a text, the default "dflt  ".
    std::string read(const char* key = "k") {
        char out[256];
        return {out, platform::profile_read_string("Base", key, "dflt  ", out, sizeof out, ini().c_str())};
    }
    // Key k of section Base as a number, the default -7.
    int32_t number() { return static_cast<int32_t>(platform::profile_read_int("Base", "k", -7, ini().c_str())); }
};

}  // namespace vantrel::test
