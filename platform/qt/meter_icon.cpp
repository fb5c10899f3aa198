#include "platform/qt/meter_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <map>

#include "icons/icon_layout.h"
#include "platform/platform.h"

namespace vantrel::qt {

namespace {

namespace layout = icon_layout;

// The meter's colours, as indices of the palette.
constexpr int kDarkGreen = 2, kOlive = 3, kMaroon = 1, kRed = 9, kGreen = 10, kYellow = 11;

// The meter's colours by level: lit, and the rest of the bars.
constexpr int kLit[3] = {kGreen, kYellow, kRed};
constexpr int kUnlit[3] = {kDarkGreen, kOlive, kMaroon};

// The device sizes that the key covers: 16 to 64 pixels at ratios 1 and 2.
constexpr std::array<int, 9> kKeySizes = {16, 22, 24, 32, 44, 48, 64, 96, 128};

// num / den to the nearest whole number, halves to the even one.
int round_even(int num, int den) {
    int q = num / den;
    const int twice = 2 * (num % den);
    if (twice > den || (twice == den && q % 2 != 0)) ++q;
    return q;
}

QRect span(int x0, int y0, int x1, int y1) { return QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1)); }

// A part's area at size pixels (1 to layout::kLargest).
QRect part_area(const layout::Part& part, int size) {
    const uint8_t* edges = layout::kEdges[size - 1];
    return span(edges[part.x0], edges[part.y0], edges[part.x1], edges[part.y1]);
}

using Meter = std::array<QRect, layout::kBars>;

// The meter's bars at size pixels, left to right.
Meter meter(int size) {
    Meter bars;
    for (int i = 0; i < layout::kBars; ++i) {
        const uint8_t* b = layout::kHandDrawnBars[i];
        bars[i] = size == layout::kHandDrawn
                      ? span(b[0], b[1], b[2], b[3])
                      : part_area(layout::kParts[std::size(layout::kParts) - layout::kBars + i], size);
    }
    return bars;
}

bool valid(const MeterReading& reading) {
    return reading.total >= 0 && reading.total <= 100 && reading.level <= platform::kLoadWarning;
}

// The meter's lit width in pixels, from the left edge of its first bar.
int lit_width(const Meter& m, int32_t total) {
    return round_even(total * (m.back().right() + 1 - m.front().left()), 100);
}

void fill(QImage& image, const QRect& area, int colour) {
    const QRect clipped = area & image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x) image.setPixel(x, y, layout::kPalette[colour]);
}

// Draws each size once, when first asked for. Used on the user-interface
// thread only.
class MeterIconEngine final : public QIconEngine {
public:
    explicit MeterIconEngine(const MeterReading& reading) : reading_(reading) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        const int side = std::max(1, std::min(size.width(), size.height()));
        auto it = drawn_.find(side);
        if (it == drawn_.end()) it = drawn_.emplace(side, QPixmap::fromImage(draw_meter_icon(side, reading_))).first;
        return it->second;
    }

    // At the painter's device pixel ratio, so that the device pixels are drawn
    // rather than scaled.
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device()->devicePixelRatioF();
        QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        picture.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), picture);
    }

    // The sizes given to a StatusNotifierItem host, which picks or scales one.
    QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        return {QSize(16, 16), QSize(22, 22), QSize(24, 24), QSize(32, 32), QSize(48, 48), QSize(64, 64)};
    }

    QIconEngine* clone() const override { return new MeterIconEngine(reading_); }
    QString key() const override { return QStringLiteral("vantrel-meter"); }

private:
    MeterReading reading_;
    std::map<int, QPixmap> drawn_;
};

}  // namespace

QImage draw_meter_icon(int size, const MeterReading& reading) {
    // Larger than any notification area asks for: the largest layout, scaled.
    if (size > layout::kLargest)
        return draw_meter_icon(layout::kLargest, reading).scaled(size, size, Qt::IgnoreAspectRatio,
                                                                 Qt::FastTransformation);
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    if (size < 1) return image;
    if (size == layout::kHandDrawn) {
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (const int colour = layout::kHandDrawnPixels[y][x]; colour >= 0)
                    fill(image, QRect(x, y, 1, 1), colour);
    } else {
        for (const layout::Part& part : layout::kParts) fill(image, part_area(part, size), part.colour);
    }
    if (!valid(reading)) return image;
    const Meter m = meter(size);
    const int litEnd = m[0].left() + lit_width(m, reading.total);
    for (const QRect& bar : m) {
        fill(image, bar, kUnlit[reading.level]);
        if (litEnd > bar.left())
            fill(image, QRect(bar.topLeft(), QPoint(std::min(bar.right(), litEnd - 1), bar.bottom())),
                 kLit[reading.level]);
    }
    return image;
}

QIcon meter_icon(const MeterReading& reading) { return QIcon(new MeterIconEngine(reading)); }

MeterKey meter_key(const MeterReading& reading) {
    MeterKey key;
    if (!valid(reading)) return key;
    key.colour = static_cast<int32_t>(reading.level);
    for (std::size_t i = 0; i < kKeySizes.size(); ++i)
        key.lit[i] = static_cast<int8_t>(lit_width(meter(kKeySizes[i]), reading.total));
    return key;
}

}  // namespace vantrel::qt
