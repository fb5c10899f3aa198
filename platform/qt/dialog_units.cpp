#include "platform/qt/dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>

#include "platform/qt/utf8_text.h"

namespace vantrel::qt {

namespace {

// Proportional Japanese fonts of Debian, in order of preference.
constexpr const char* kJapaneseUiFonts[] = {"IPAPGothic", "IPAexGothic", "Noto Sans CJK JP"};

// value × numerator / denominator, rounded to the nearest whole number as
// Windows' MulDiv rounds.
int mul_div(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

QFont dialog_font(const DialogTemplate& dialogTemplate) {
    QFont font;
    const QString named = from_utf8(dialogTemplate.font);
    if (QFontDatabase::hasFamily(named)) {
        font.setFamily(named);
    } else {
        for (const char* family : kJapaneseUiFonts) {
            if (QFontDatabase::hasFamily(QString::fromLatin1(family))) {
                font.setFamily(QString::fromLatin1(family));
                break;
            }
        }
    }
    font.setPointSize(dialogTemplate.pointSize);
    return font;
}

BaseUnits base_units(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(width / 26 + 1) / 2, metrics.height()};
}

QRect dialog_rect(const BaseUnits& units, int x, int y, int width, int height) {
    return QRect(mul_div(x, units.x, 4), mul_div(y, units.y, 8), mul_div(width, units.x, 4),
                 mul_div(height, units.y, 8));
}

}  // namespace vantrel::qt
