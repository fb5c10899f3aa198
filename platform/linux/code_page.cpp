// The Linux build's texts are UTF-8.
#include "platform/platform.h"

namespace vantrel::platform {

CodePage system_code_page() { return CodePage::Utf8; }

}  // namespace vantrel::platform
