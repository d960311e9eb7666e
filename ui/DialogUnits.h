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

    int BaseWidth() const { return baseWidth; }
    int BaseHeight() const { return baseHeight; }
    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    QRect ToPixels(int x, int y, int width, int height) const;

private:
    int baseWidth;
    int baseHeight;
};

} // namespace quorlex
