#include "wheel/WheelGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
const QPointF centre(190, 190);
QPointF above(double d) { return centre - QPointF(0, d); }
}

// The ring runs strictly between radii 60 and 190; slices go clockwise from twelve.
TEST(WheelGeometry, HitsFallOnTheRingsSlices)
{
    const struct { QPointF offset; int slices; std::optional<int> slice; } cases[] = {
        {{0, -60}, 8, {}},   {{0, -190}, 8, {}}, {{0, -61}, 8, 0}, {{0, -189}, 8, 0}, {{0, 0}, 8, {}}, {{0, -100}, 0, {}},
        {{0, -100}, 4, 0},   {{100, 0}, 4, 1},   {{0, 100}, 4, 2}, {{-100, 0}, 4, 3},
        // Just left of twelve o'clock still belongs to slice 0, which is centred there.
        {{-10, -100}, 4, 0}, {{-100, -90}, 4, 3},
    };
    for (const auto& c : cases) EXPECT_EQ(WheelGeometry::hitTest(centre + c.offset, centre, c.slices), c.slice) << c.offset.x() << "," << c.offset.y();
    for (double a = 0; a < 2 * M_PI; a += 0.3) EXPECT_EQ(WheelGeometry::hitTest(WheelGeometry::polar(centre, 120, a), centre, 1), 0) << a;
}

TEST(WheelGeometry, SliceOutlineKeepsGapsAndGrowsOutwards)
{
    const QPainterPath top = WheelGeometry::segmentShape(0, 4, 0, centre);
    for (double d : {109, 65, 149}) EXPECT_TRUE(top.contains(above(d))) << d;
    for (double d : {151, 63}) EXPECT_FALSE(top.contains(above(d))) << d;
    // The boundary with slice 1 lies at 45°; the straight gap of 7 around it is empty.
    const QPointF onBoundary = WheelGeometry::polar(centre, 110, M_PI / 4);
    const auto towardsTop = [&](double d) { return WheelGeometry::polar(onBoundary, d, 3 * M_PI / 4); };
    const QPainterPath right = WheelGeometry::segmentShape(1, 4, 0, centre);
    EXPECT_FALSE(top.contains(onBoundary));
    EXPECT_FALSE(right.contains(onBoundary));
    EXPECT_FALSE(top.contains(towardsTop(3)));
    EXPECT_TRUE(top.contains(towardsTop(4)));
    EXPECT_FALSE(right.contains(towardsTop(-3)));
    EXPECT_TRUE(right.contains(towardsTop(-4)));
    // A highlighted slice reaches pop = 4 points further out.
    const QPainterPath grown = WheelGeometry::segmentShape(0, 4, 4, centre);
    EXPECT_TRUE(grown.contains(above(153)));
    EXPECT_FALSE(grown.contains(above(155)));

    const QPainterPath ring = WheelGeometry::segmentShape(0, 1, 0, centre);
    EXPECT_TRUE(ring.contains(centre + QPointF(0, 100)));
    EXPECT_FALSE(ring.contains(centre));
}
