#include "platform/qt/meter_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <map>
#include <vector>

#include "platform/platform.h"

namespace vantrel::qt {

namespace {

// The standard 16-colour palette of icon 105.
constexpr QRgb kPalette[16] = {
    0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080, 0xff800080, 0xff008080, 0xffc0c0c0,
    0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00, 0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff,
};
constexpr int kBlack = 0, kDarkGreen = 2, kSilver = 7, kGrey = 8, kRed = 9, kGreen = 10, kYellow = 11;

// The meter's colours by level: lit, and the rest of the bars.
constexpr int kLit[3] = {kGreen, kYellow, kRed};
constexpr int kUnlit[3] = {kDarkGreen, 3, 1};  // dark green, olive, maroon

// The 16-pixel icon is drawn by hand (a halved 32-pixel layout leaves no room
// between the bars); a palette index a pixel in hexadecimal, "." transparent.
constexpr const char* kPixels16[16] = {
    "....77.77.77....", "....77.77.77....", "..000000000000..", "..088888888880..",
    "7708788888888077", "7708800000088077", "..088000090880..", "77088000b9088077",
    "7708800ab9088077", "..08802ab90880..", "7708800000088077", "7708888888888077",
    "..088888888880..", "..000000000000..", "....77.77.77....", "....77.77.77....",
};

int palette_index(char c) { return c <= '9' ? c - '0' : c - 'a' + 10; }

struct Part {
    int colour;  // palette index
    QRect area;
};

struct Meter {
    std::array<QRect, 4> bars;
    std::array<int, 4> colours;  // icon 105's own
};

// The device sizes that the key covers: 16 to 64 pixels at ratios 1 and 2.
constexpr std::array<int, 9> kKeySizes = {16, 22, 24, 32, 44, 48, 64, 96, 128};

// num / den to the nearest whole number, halves to the even one, as the icon
// script rounds.
int round_even(int num, int den) {
    int q = num / den;
    const int twice = 2 * (num % den);
    if (twice > den || (twice == den && q % 2 != 0)) ++q;
    return q;
}

// Half of n rounded down, also below zero (runs that do not fit stick out on
// both sides alike, as in the icon script).
int half_down(int n) { return n >= 0 ? n / 2 : (n - 1) / 2; }

// A length of the 32-pixel layout at another size, at least one pixel.
int scaled(int units, int size) { return std::max(1, round_even(units * size, 32)); }

// The width and gap of count runs that fit in length: the gaps narrow first,
// down to one pixel, then the runs.
void fit(int count, int& width, int& gap, int length) {
    while (count * width + (count - 1) * gap > length) {
        if (gap > 1)
            --gap;
        else if (width > 1)
            --width;
        else
            break;
    }
}

QRect span(int x0, int y0, int x1, int y1) { return QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1)); }

// The chip's inside and its window, shared by the body and the meter.
struct Frame {
    int margin, body0, body1, inner0, inner1, window0, window1;
};

Frame frame(int size) {
    Frame f{};
    f.margin = round_even(size, 32);
    f.body0 = f.margin + scaled(3, size);
    f.body1 = size - f.body0;
    const int rim = std::max(1, round_even(size, 48));
    f.inner0 = f.body0 + rim;
    f.inner1 = f.body1 - rim;
    const int inset = scaled(4, size);
    f.window0 = f.inner0 + inset;
    f.window1 = f.inner1 - inset;
    return f;
}

Meter meter(int size) {
    if (size == 16)
        return {{span(6, 9, 7, 10), span(7, 8, 8, 10), span(8, 7, 9, 10), span(9, 6, 10, 10)},
                {kDarkGreen, kGreen, kYellow, kRed}};
    const Frame f = frame(size);
    const int border = scaled(1, size);
    const int meter0 = f.window0 + border, meter1 = f.window1 - border;
    int width = scaled(2, size), gap = scaled(1, size);
    fit(4, width, gap, meter1 - meter0);
    const int bars0 = meter0 + half_down(meter1 - meter0 - (4 * width + 3 * gap));
    Meter m{{}, {kGreen, kGreen, kYellow, kRed}};
    for (int i = 0; i < 4; ++i) {
        const int x0 = bars0 + i * (width + gap);
        m.bars[i] = span(x0, meter1 - round_even((meter1 - meter0) * (i + 1), 4), x0 + width, meter1);
    }
    return m;
}

// Everything but the bars: pins, chip, rim, pin-1 mark and window.
std::vector<Part> body(int size) {
    const Frame f = frame(size);
    std::vector<Part> parts;
    // Five pins a side, centred on the chip's inside.
    int pinWidth = scaled(2, size), pinGap = scaled(2, size);
    fit(5, pinWidth, pinGap, f.inner1 - f.inner0);
    const int start = f.inner0 + half_down(f.inner1 - f.inner0 - (5 * pinWidth + 4 * pinGap));
    for (int i = 0; i < 5; ++i) {
        const int p0 = start + i * (pinWidth + pinGap), p1 = p0 + pinWidth;
        parts.push_back({kSilver, span(p0, f.margin, p1, f.body0)});
        parts.push_back({kSilver, span(p0, f.body1, p1, size - f.margin)});
        parts.push_back({kSilver, span(f.margin, p0, f.body0, p1)});
        parts.push_back({kSilver, span(f.body1, p0, size - f.margin, p1)});
    }
    parts.push_back({kBlack, span(f.body0, f.body0, f.body1, f.body1)});
    parts.push_back({kGrey, span(f.inner0, f.inner0, f.inner1, f.inner1)});
    const int mark0 = f.inner0 + scaled(1, size), mark1 = mark0 + scaled(2, size);
    parts.push_back({kSilver, span(mark0, mark0, mark1, mark1)});
    parts.push_back({kBlack, span(f.window0, f.window0, f.window1, f.window1)});
    return parts;
}

bool valid(const MeterReading& reading) {
    return reading.total >= 0 && reading.total <= 100 && reading.level <= platform::kLoadWarning;
}

// The meter's lit width in pixels, from the left edge of its first bar.
int lit_width(const Meter& m, int32_t total) {
    return round_even(total * (m.bars[3].right() + 1 - m.bars[0].left()), 100);
}

void fill(QImage& image, const QRect& area, int colour) {
    const QRect clipped = area & image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x) image.setPixel(x, y, kPalette[colour]);
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
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const Meter m = meter(size);
    if (size == 16) {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (kPixels16[y][x] != '.') image.setPixel(x, y, kPalette[palette_index(kPixels16[y][x])]);
    } else {
        for (const Part& part : body(size)) fill(image, part.area, part.colour);
        for (int i = 0; i < 4; ++i) fill(image, m.bars[i], m.colours[i]);
    }
    if (!valid(reading)) return image;
    const int litEnd = m.bars[0].left() + lit_width(m, reading.total);
    for (const QRect& bar : m.bars) {
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
