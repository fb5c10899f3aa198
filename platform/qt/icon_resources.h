// The program's icon resources: handles that any thread may take, and the
// pictures behind them, which only the user-interface thread makes.
#pragma once

#include <QIcon>

#include "platform/platform.h"

namespace vantrel::qt {

// The picture of an icon handle from load_icon; a null icon for nullptr.
QIcon icon_picture(platform::IconHandle icon);

// The program's own icon (resource 105).
QIcon program_icon();

}  // namespace vantrel::qt
