#pragma once
#include <QColor>
#include <QImage>
#include <QPainterPath>

class QPainter;

// A picture made once and drawn many times: `image` belongs with its top-left corner at
// `origin`, in the coordinates of what it shows.
struct Sprite {
    QImage image;
    QPointF origin;

    void draw(QPainter& painter, QPointF offset = {}) const;
};

namespace Shadows {
// A soft shadow of a shape: the shape filled with a colour and blurred by `blur` points (a
// Gaussian of half that deviation), at devicePixelRatio pixels per point.
Sprite make(const QPainterPath& shape, double blur, const QColor& colour, double devicePixelRatio);
}
