#pragma once

#include "resources/DialogTemplate.h"

#include <QRect>
#include <QSize>

namespace quorlex {

// How a control follows its dialog when the dialog is larger than its
// template: lists and tab controls grow, buttons keep to the edges they sit
// on, everything else keeps its place, and a control that spans the width
// grows with it.
struct ControlAnchors {
    enum class Horizontal { Left, Center, Right, Stretch };
    enum class Vertical { Top, Bottom, Stretch };

    Horizontal horizontal = Horizontal::Left;
    Vertical vertical = Vertical::Top;

    friend bool operator==(const ControlAnchors&, const ControlAnchors&) = default;
};

// The anchors of control, judged from where it sits in layout.
ControlAnchors AnchorsFor(const DialogTemplate& layout, const ControlTemplate& control);

// rect (in pixels, at the template's size) moved or grown by growth, the
// dialog's size beyond its template's.
QRect Anchored(const QRect& rect, ControlAnchors anchors, QSize growth);

} // namespace quorlex
