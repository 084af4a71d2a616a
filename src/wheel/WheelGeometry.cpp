#include "wheel/WheelGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace WheelGeometry {

namespace {
constexpr double pi = std::numbers::pi;

double degrees(double radians)
{
    return radians * 180 / pi;
}
}

QPointF polar(QPointF centre, double r, double a)
{
    return {centre.x() + r * std::cos(a), centre.y() - r * std::sin(a)};
}

std::optional<int> hitTest(QPointF p, QPointF centre, int n)
{
    const double dx = p.x() - centre.x();
    const double dy = centre.y() - p.y();
    const double d = std::hypot(dx, dy);
    if (n <= 0 || !(d > 60 && d < 190)) return std::nullopt;
    const double a = -std::atan2(dy, dx) * 180 / pi + 90;
    const double s = 360.0 / n;
    double t = std::fmod(a + s / 2, 360);
    if (t < 0) t += 360;
    return std::min(static_cast<int>(std::floor(t / s)), n - 1);
}

namespace {
// The slice's outline moved outwards by `grow` points (inwards when negative): the core
// sector, which lies 16.5 (half the gap plus the corner radius) inside each edge between
// the radii innerR + corner and R - corner, grown by corner + grow on every side, so that
// its four corners become arcs around the core's corners.
void addOutline(QPainterPath& path, int i, int n, double R, double grow, QPointF centre)
{
    const double theta = pi / 2 - i * 2 * pi / n;
    const double a0 = theta - pi / n;  // clockwise edge
    const double a1 = theta + pi / n;  // counter-clockwise edge
    const double inset = gap / 2 + corner;
    const double round = corner + grow;
    const double coreOuter = R - corner;
    const double coreInner = innerR + corner;
    const double dOut = std::asin(inset / coreOuter);
    const double dIn = std::asin(inset / coreInner);
    const auto arc = [&](QPointF at, double radius, double start, double sweep) {
        path.arcTo(QRectF(at.x() - radius, at.y() - radius, 2 * radius, 2 * radius), degrees(start), degrees(sweep));
    };
    path.moveTo(polar(centre, coreOuter + round, a0 + dOut));
    arc(centre, coreOuter + round, a0 + dOut, a1 - a0 - 2 * dOut);
    arc(polar(centre, coreOuter, a1 - dOut), round, a1 - dOut, pi / 2 + dOut);
    arc(polar(centre, coreInner, a1 - dIn), round, a1 + pi / 2, pi / 2 - dIn);
    arc(centre, coreInner - round, a1 - dIn, -(a1 - a0 - 2 * dIn));
    arc(polar(centre, coreInner, a0 + dIn), round, a0 + dIn + pi, pi / 2 - dIn);
    arc(polar(centre, coreOuter, a0 + dOut), round, a0 - pi / 2, pi / 2 + dOut);
    path.closeSubpath();
}

void addRing(QPainterPath& path, double outer, double inner, QPointF centre)
{
    path.addEllipse(centre, outer, outer);
    path.addEllipse(centre, inner, inner);
}

double outerRadius(double extra)
{
    return outerR + std::round(extra * 4) / 4;
}
}

QPainterPath segmentShape(int i, int n, double extra, QPointF centre)
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    if (n == 1) addRing(path, outerRadius(extra), innerR, centre);
    else addOutline(path, i, n, outerRadius(extra), 0, centre);
    return path;
}

QPainterPath segmentEdge(int i, int n, double extra, double width, QPointF centre)
{
    // Everything within width / 2 of the outline: the band between the outline grown and
    // shrunk by that much, the same area a stroke covers but far cheaper to fill.
    const double half = width / 2;
    const double R = outerRadius(extra);
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    if (n == 1) {
        addRing(path, R + half, R - half, centre);
        addRing(path, innerR + half, innerR - half, centre);
    } else {
        addOutline(path, i, n, R, half, centre);
        addOutline(path, i, n, R, -half, centre);
    }
    return path;
}

}
