// Whether windows can be shown: only a QApplication has widgets. Without a
// display the program runs on a QCoreApplication, and menus and dialogs do
// not open (nothing can ask for them: there is no icon to click).
#pragma once

#include <QApplication>

namespace vantrel::qt {

inline bool widgets_available() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

}  // namespace vantrel::qt
