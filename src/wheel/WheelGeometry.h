#pragma once
#include <QPainterPath>
#include <QPointF>

#include <optional>

// Where the slices lie. Angles are in radians, counter-clockwise from 3 o'clock as on paper;
// points are in widget coordinates, whose y axis points down.
namespace WheelGeometry {
constexpr double outerR = 150;  // outer radius of a slice
constexpr double innerR = 64;   // inner radius of a slice, also the hub's click radius
constexpr double gap = 7;       // straight gap between neighbouring slices
constexpr double corner = 13;   // corner radius of a slice
constexpr double rim = 7;       // disc margin beyond the slices
constexpr double pop = 4;       // how far a fully highlighted slice grows outwards
constexpr double discR = outerR + rim;
constexpr double hubR = 58.5;

// The point at radius r and angle a around the centre.
QPointF polar(QPointF centre, double r, double a);
// The slice under p among n slices, slice 0 centred at 12 o'clock and the others following
// clockwise; none on the hub, outside the ring or with no slices.
std::optional<int> hitTest(QPointF p, QPointF centre, int n);
// The outline of slice i of n grown outwards by extra (rounded to a quarter point): the
// sector between innerR and outerR + extra with straight gaps to its neighbours and
// rounded corners; the whole ring for a single slice.
QPainterPath segmentShape(int i, int n, double extra, QPointF centre);
// The band `width` points wide along that outline, as a stroke of it would cover.
QPainterPath segmentEdge(int i, int n, double extra, double width, QPointF centre);
}
