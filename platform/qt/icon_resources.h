// The program's icon resources: handles that any thread may take, and the
// picture of icon 105, which only the user-interface thread makes. (The tray
// icon draws its own, platform/qt/meter_icon.h.)
#pragma once

#include <QIcon>

#include "platform/platform.h"

namespace vantrel::qt {

// The program's own icon (resource 105).
QIcon program_icon();

}  // namespace vantrel::qt
