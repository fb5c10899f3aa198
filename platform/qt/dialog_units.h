// Dialog templates measure in dialog units, which scale with the dialog's
// font: a horizontal unit is a quarter of the font's average character width,
// a vertical unit an eighth of its character height.
#pragma once

#include <QFont>
#include <QRect>

#include "resources/dialog_templates.h"

namespace vantrel::qt {

// The font of the template when it is installed, else a proportional
// Japanese UI font from the system, in the template's point size.
QFont dialog_font(const DialogTemplate& dialogTemplate);

// The average character width and the character height of a font, in pixels,
// computed as Windows computes a dialog's base units.
struct BaseUnits {
    int x;
    int y;
};
BaseUnits base_units(const QFont& font);

// A rectangle in dialog units, in pixels.
QRect dialog_rect(const BaseUnits& units, int x, int y, int width, int height);

}  // namespace vantrel::qt
