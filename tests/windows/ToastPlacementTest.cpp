#include "windows/ToastPlacement.h"

#include <gtest/gtest.h>

using ToastPlacement::Screen;

// A 1440 × 900 screen with a 25-point panel at the top, and a second one to its right whose
// panel is at the bottom.
const std::vector<Screen> screens = {
    {QRect(0, 0, 1440, 900), QRect(0, 25, 1440, 875)},
    {QRect(1440, 0, 1920, 1080), QRect(1440, 0, 1920, 1040)},
};

TEST(ToastPlacementTest, CentredOnTheDropOrAboveTheBottomAndKeptInside)
{
    const struct { std::optional<QPoint> near; std::size_t main; QPoint origin; const char* why; } cases[] = {
        {QPoint(700, 400), 0, QPoint(530, 368), "centred on the drop"},
        {std::nullopt, 0, QPoint(550, 756), "80 above the bottom, centred"},
        {std::nullopt, 1, QPoint(2230, 896), "on the main screen, above its panel"},
        {QPoint(0, 0), 0, QPoint(8, 33), "top-left corner, below the panel"},
        {QPoint(1439, 899), 0, QPoint(1092, 828), "bottom-right corner"},
        {QPoint(3359, 1079), 0, QPoint(3012, 968), "bottom corner of the second screen stays there"},
        {QPoint(1450, 500), 0, QPoint(1448, 468), "the drop point decides the screen"},
        {QPoint(-900, -900), 1, QPoint(1448, 8), "off every screen: the main one"},
    };
    for (const auto& c : cases) EXPECT_EQ(ToastPlacement::origin(c.near, screens, c.main), c.origin) << c.why;
    EXPECT_EQ(ToastPlacement::origin(QPoint(5, 5), {}, 0), QPoint(0, 0));
}
