#include "windows/StatusIcon.h"

#include <gtest/gtest.h>

namespace {
int alphaAt(const QImage& image, double x, double y, qreal scale)
{
    return qAlpha(image.pixel(int(x * scale), int(y * scale)));
}
}

// Points of the 18-point drawing: dot, ring, spokes and the gaps between them.
TEST(StatusIconTest, RingDotAndSixSpokes)
{
    for (const qreal scale : {1.0, 2.0}) {
        const QImage image = StatusIcon::image(Qt::black, scale);
        ASSERT_EQ(image.size(), QSize(int(18 * scale), int(18 * scale)));
        EXPECT_GT(alphaAt(image, 9, 9, scale), 200) << "dot";
        EXPECT_GT(alphaAt(image, 9, 1.6, scale), 100) << "ring, top";
        EXPECT_GT(alphaAt(image, 16.4, 9, scale), 100) << "ring, right";
        EXPECT_EQ(alphaAt(image, 0.2, 0.2, scale), 0) << "corner";
        EXPECT_GT(alphaAt(image, 9, 3, scale), 100) << "spoke at 90°";
        EXPECT_GT(alphaAt(image, 9, 15, scale), 100) << "spoke at 270°";
        EXPECT_EQ(alphaAt(image, 14, 9, scale), 0) << "no spoke at 0°";
        EXPECT_EQ(alphaAt(image, 3, 9, scale), 0) << "no spoke at 180°";
        EXPECT_EQ(alphaAt(image, 9, 12.6, scale), 0) << "gap between dot and spoke";
    }
}

TEST(StatusIconTest, DrawnInTheGivenColour)
{
    const QImage image = StatusIcon::image(Qt::white, 2);
    EXPECT_EQ(image.pixelColor(18, 18).rgb(), QColor(Qt::white).rgb());
}
