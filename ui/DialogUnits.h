#pragma once

#include <QRect>

class QFont;

namespace quorlex {

// Dialog units of a font: horizontally a quarter of the average character
// width, vertically an eighth of the character height.
class DialogUnits {
public:
    DialogUnits(int baseWidth, int baseHeight);
    static DialogUnits FromFont(const QFont& font);

    int BaseWidth() const { return baseWidth_; }
    int BaseHeight() const { return baseHeight_; }
    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    QRect ToPixels(int x, int y, int width, int height) const;

private:
    int baseWidth_;
    int baseHeight_;
};

} // namespace quorlex
