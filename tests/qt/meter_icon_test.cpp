// The tray icon's picture: without a reading, icon 105's files pixel for pixel at every size; with
// one, the meter alone changes, lit from the left to the total in the level's colours.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>

#include "platform/platform.h"
#include "platform/qt/meter_icon.h"

namespace vantrel::test {
namespace {

using platform::kLoadNormal, platform::kLoadNotice, platform::kLoadWarning;

// Without a reading, the file of each size that has one (all but 44 and 96).
TEST(MeterIconTest, MeterLightsFromTheLeftToTheTotalInTheColoursOfTheLevel) {
    const QRgb lit[] = {0xff00ff00, 0xffffff00, 0xffff0000}, unlit[] = {0xff008000, 0xff808000, 0xff800000};
    const auto in_meter = [](QRgb plain) { return plain == 0xff008000 || (qRed(plain) | qGreen(plain)) == 0xff; };
    for (int size : {16, 22, 24, 32, 44, 48, 64, 96, 128, 256}) {
        const QImage plain = qt::draw_meter_icon(size, {}), file(QStringLiteral(":/icons/105/%1.png").arg(size));
        EXPECT_TRUE(size == 44 || size == 96 || plain == file.convertToFormat(QImage::Format_ARGB32)) << size;
        for (uint32_t level : {kLoadNormal, kLoadNotice, kLoadWarning}) {
            int litBefore = -1;
            for (int32_t total : {0, 40, 70, 100}) {
                const QImage live = qt::draw_meter_icon(size, {total, level});
                int litCount = 0, unlitCount = 0;
                for (int y = 0; y < size; ++y) {
                    bool unlitSeen = false;
                    for (int x = 0; x < size; ++x) {
                        const QRgb p = live.pixel(x, y);
                        if (!in_meter(plain.pixel(x, y))) {
                            ASSERT_EQ(p, plain.pixel(x, y)) << size << " " << x << "," << y;
                            continue;
                        }
                        ASSERT_TRUE(p == lit[level] || (p == unlit[level] && (unlitSeen = true)));
                        ASSERT_FALSE(p == lit[level] && unlitSeen) << "lit right of unlit at " << size;
                        (p == lit[level] ? litCount : unlitCount)++;
                    }
                }
                EXPECT_GT(litCount, litBefore) << size << " " << total;
                EXPECT_TRUE((total == 0) == (litCount == 0) && (total == 100) == (unlitCount == 0)) << size;
                litBefore = litCount;
            }
        }
    }
}

TEST(MeterIconTest, EachDevicePixelSizeIsDrawnAndEqualKeysDrawEqualPictures) {
    const qt::MeterReading busy{70, kLoadNotice};
    const QIcon icon = qt::meter_icon(busy);
    for (const QSize& size : icon.availableSizes())
        for (int ratio : {1, 2})
            EXPECT_EQ(icon.pixmap(size, ratio).toImage().convertToFormat(QImage::Format_ARGB32),
                      qt::draw_meter_icon(size.width() * ratio, busy)) << size.width() << "@" << ratio;
    EXPECT_EQ(qt::meter_key({0, kLoadNormal}), qt::meter_key({1, kLoadNormal}));  // nothing lit at any size
    EXPECT_EQ(qt::meter_key({-1, kLoadWarning}), qt::meter_key({101, kLoadNormal}));  // icon 105
    EXPECT_NE(qt::meter_key({0, kLoadNormal}), qt::meter_key({0, kLoadNotice}));
    EXPECT_NE(qt::meter_key({50, kLoadNormal}), qt::meter_key({53, kLoadNormal}));
}

}  // namespace
}  // namespace vantrel::test
