#include "ui/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <cstdint>

namespace quorlex {
namespace {

// a * b / c rounded half away from zero, without intermediate overflow.
int MulDiv(int a, int b, int c) {
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

} // namespace

DialogUnits::DialogUnits(int baseWidth, int baseHeight)
    : baseWidth_(std::max(1, baseWidth)), baseHeight_(std::max(1, baseHeight)) {}

DialogUnits DialogUnits::FromFont(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average over the 52 Latin letters, rounded as the handheld's dialog manager does.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogUnits((letters / 26 + 1) / 2, metrics.height());
}

int DialogUnits::ToPixelsX(int units) const {
    return MulDiv(units, baseWidth_, 4);
}

int DialogUnits::ToPixelsY(int units) const {
    return MulDiv(units, baseHeight_, 8);
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    const int left = ToPixelsX(x);
    const int top = ToPixelsY(y);
    // Edges are converted, not sizes, so adjacent controls meet without gaps.
    return QRect(left, top, ToPixelsX(x + width) - left, ToPixelsY(y + height) - top);
}

} // namespace quorlex
