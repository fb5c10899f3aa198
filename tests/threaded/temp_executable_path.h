#pragma once

#include <string>

namespace vantrel::test {

// The temporary folder that stands for the executable's directory.
const std::string& temp_executable_dir();

}  // namespace vantrel::test
