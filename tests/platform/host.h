// What the tests of the platform services need to know of the system they
// run on. Each platform's tests define it.
#pragma once

namespace vantrel::test {

// True when the Windows services are Wine's rather than Windows' own.
bool under_wine();

}  // namespace vantrel::test
