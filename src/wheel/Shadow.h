#pragma once
#include <QColor>
#include <QImage>
#include <QPainterPath>

// A soft shadow of a shape: the shape filled with a colour and blurred, ready to be drawn
// at `origin` (the image's top-left corner in the shape's coordinates).
struct Shadow {
    QImage image;
    QPointF origin;
};

namespace Shadows {
// blur is the blur radius in points (a Gaussian of half that deviation); the image has
// devicePixelRatio pixels per point.
Shadow make(const QPainterPath& shape, double blur, const QColor& colour, double devicePixelRatio);
}
