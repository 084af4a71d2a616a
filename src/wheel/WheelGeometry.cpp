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

QPainterPath segmentShape(int i, int n, double extra, QPointF centre)
{
    const double R = outerR + std::round(extra * 4) / 4;
    QPainterPath path;
    if (n == 1) {
        path.setFillRule(Qt::OddEvenFill);
        path.addEllipse(centre, R, R);
        path.addEllipse(centre, innerR, innerR);
        return path;
    }
    // The core sector lies 16.5 (half the gap plus the corner radius) inside each edge,
    // between the radii innerR + corner and R - corner; growing it by the corner radius on
    // every side gives the slice, its four corners becoming arcs around the core's corners.
    const double theta = pi / 2 - i * 2 * pi / n;
    const double a0 = theta - pi / n;  // clockwise edge
    const double a1 = theta + pi / n;  // counter-clockwise edge
    const double inset = gap / 2 + corner;
    const double coreOuter = R - corner;
    const double coreInner = innerR + corner;
    const double dOut = std::asin(inset / coreOuter);
    const double dIn = std::asin(inset / coreInner);
    const auto arc = [&](QPointF at, double radius, double start, double sweep) {
        path.arcTo(QRectF(at.x() - radius, at.y() - radius, 2 * radius, 2 * radius), degrees(start), degrees(sweep));
    };
    path.moveTo(polar(centre, R, a0 + dOut));
    arc(centre, R, a0 + dOut, a1 - a0 - 2 * dOut);
    arc(polar(centre, coreOuter, a1 - dOut), corner, a1 - dOut, pi / 2 + dOut);
    arc(polar(centre, coreInner, a1 - dIn), corner, a1 + pi / 2, pi / 2 - dIn);
    arc(centre, innerR, a1 - dIn, -(a1 - a0 - 2 * dIn));
    arc(polar(centre, coreInner, a0 + dIn), corner, a0 + dIn + pi, pi / 2 - dIn);
    arc(polar(centre, coreOuter, a0 + dOut), corner, a0 - pi / 2, pi / 2 + dOut);
    path.closeSubpath();
    return path;
}

}
