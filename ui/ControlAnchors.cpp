#include "ui/ControlAnchors.h"

namespace quorlex {
namespace {

using H = ControlAnchors::Horizontal;
using V = ControlAnchors::Vertical;

// Templates let neighbours overlap by a unit.
constexpr int kEdgeSlack = 1;

bool Grows(const ControlTemplate& c) {
    return c.kind == ControlKind::ListView || c.kind == ControlKind::TabControl;
}

// Below a control that grows downwards, so it has to make room for it.
bool BelowGrowing(const DialogTemplate& layout, const ControlTemplate& control) {
    for (const ControlTemplate& other : layout.controls) {
        if (Grows(other) && control.y >= other.y + other.height - kEdgeSlack) {
            return true;
        }
    }
    return false;
}

H HorizontalFor(const DialogTemplate& layout, const ControlTemplate& c) {
    const int quarter = layout.width / 4;
    if (Grows(c) || (c.x < quarter && c.x + c.width > layout.width - quarter)) {
        return H::Stretch;
    }
    const int third = layout.width / 3;
    if (c.kind != ControlKind::Button) {
        return H::Left;
    }
    const int centre = c.x + c.width / 2;
    if (centre < third) {
        return H::Left;
    }
    return centre > layout.width - third ? H::Right : H::Center;
}

V VerticalFor(const DialogTemplate& layout, const ControlTemplate& c) {
    if (Grows(c)) {
        return V::Stretch;
    }
    const bool buttonAtTheFoot =
        c.kind == ControlKind::Button && c.y + c.height / 2 > layout.height - layout.height / 3;
    return buttonAtTheFoot || BelowGrowing(layout, c) ? V::Bottom : V::Top;
}

} // namespace

ControlAnchors AnchorsFor(const DialogTemplate& layout, const ControlTemplate& control) {
    return {HorizontalFor(layout, control), VerticalFor(layout, control)};
}

QRect Anchored(const QRect& rect, ControlAnchors anchors, QSize growth) {
    QRect placed = rect;
    switch (anchors.horizontal) {
    case H::Left:
        break;
    case H::Center:
        placed.translate(growth.width() / 2, 0);
        break;
    case H::Right:
        placed.translate(growth.width(), 0);
        break;
    case H::Stretch:
        placed.setWidth(rect.width() + growth.width());
        break;
    }
    switch (anchors.vertical) {
    case V::Top:
        break;
    case V::Bottom:
        placed.translate(0, growth.height());
        break;
    case V::Stretch:
        placed.setHeight(rect.height() + growth.height());
        break;
    }
    return placed;
}

} // namespace quorlex
