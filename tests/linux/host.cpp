#include "tests/platform/host.h"

namespace vantrel::test {

bool under_wine() { return false; }

}  // namespace vantrel::test
