#include "windows/StatusIcon.h"

#include <gtest/gtest.h>

#include <tuple>

// Points of the 18-point drawing: dot, ring, spokes and the gaps between them.
TEST(StatusIconTest, RingDotAndSixSpokesInTheGivenColour)
{
    const std::tuple<double, double, bool, const char*> points[] = {
        {9, 9, true, "dot"}, {9, 1.6, true, "ring, top"}, {16.4, 9, true, "ring, right"}, {0.2, 0.2, false, "corner"},
        {9, 3, true, "spoke at 90°"}, {9, 15, true, "spoke at 270°"}, {14, 9, false, "no spoke at 0°"},
        {3, 9, false, "no spoke at 180°"}, {9, 12.6, false, "gap between dot and spoke"}};
    for (const auto& [colour, scale] : {std::pair(QColor(Qt::black), 1.0), std::pair(QColor(Qt::white), 2.0)}) {
        const QImage image = StatusIcon::image(colour, scale);
        ASSERT_EQ(image.size(), QSize(int(18 * scale), int(18 * scale)));
        EXPECT_EQ(image.pixelColor(int(9 * scale), int(9 * scale)).rgb(), colour.rgb());
        for (const auto& [x, y, drawn, where] : points) {
            const int alpha = qAlpha(image.pixel(int(x * scale), int(y * scale)));
            EXPECT_TRUE(drawn ? alpha > 100 : alpha == 0) << where << " at " << scale << "×: " << alpha;
        }
    }
}
