// The tray icon's picture on Linux: icon 105 with its load meter showing the
// machine's total, since many notification areas show no tooltip.
//
// The meter is the four rising bars in the chip's black window. The bars
// light up from the left to the total, in the colour of the level (green,
// yellow at the notice threshold, red at the warning threshold); the rest of
// each bar is a darker shade of the same colour, so the level shows even on
// an idle machine. Without a reading the picture is icon 105 itself.
//
// Every size up to 256 pixels is drawn anew on whole pixels, never scaled
// from another size, by filling the parts of the layout with which
// resources/vantrel_icons.py draws the icon files (the build has it write
// the layout as a header), so the picture without a reading is those files
// pixel for pixel. A larger size, which no notification area asks for, is
// the 256-pixel picture scaled.
#pragma once

#include <QIcon>
#include <QImage>

#include <array>
#include <cstdint>

namespace vantrel::qt {

struct MeterReading {
    int32_t total = -1;  // 0 to 100; anything else is no reading
    uint32_t level = 0;  // platform::kLoadNormal, kLoadNotice or kLoadWarning
};

// The icon at size x size pixels.
QImage draw_meter_icon(int size, const MeterReading& reading);

// The icon at every size a notification area asks for, each drawn when first
// asked for.
QIcon meter_icon(const MeterReading& reading);

// What the drawn pictures show of a reading: its colour and how many pixels
// of the meter are lit at each size offered (16 to 64 pixels at device pixel
// ratios 1 and 2). Readings with equal keys draw the same pictures.
struct MeterKey {
    int32_t colour = -1;  // -1: icon 105's own colours
    std::array<int8_t, 9> lit{};
    bool operator==(const MeterKey&) const = default;
};

MeterKey meter_key(const MeterReading& reading);

}  // namespace vantrel::qt
