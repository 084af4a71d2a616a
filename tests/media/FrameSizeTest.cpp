#include "media/FrameSize.h"
#include "media/MediaTools.h"

#include <gtest/gtest.h>

using MediaKit::Size;

TEST(FrameSize, SidesAreEvenFittedAndNeverEnlarged)
{
    struct Case { Size source, box, expected; };  // a box of {0, 0}: only made even
    const Case cases[] = {
        {{1919, 1079}, {0, 0}, {1918, 1078}},
        {{1920, 1080}, {1280, 720}, {1280, 720}},
        {{1080, 1920}, {1280, 720}, {720, 1280}},   // portrait fills the box upright
        {{320, 240}, {1920, 1080}, {320, 240}},     // never enlarged
        {{1920, 1080}, {640, 480}, {640, 360}},
        {{1440, 1080}, {640, 480}, {640, 480}},
        {{3840, 1600}, {1920, 1080}, {1920, 800}},
        {{1001, 3}, {640, 480}, {640, 2}},          // a sliver keeps two rows
    };
    for (const Case& c : cases) {
        const Size got = c.box.width ? MediaKit::fitInBox(c.source, c.box) : MediaKit::evenSize(c.source);
        EXPECT_EQ(got, c.expected) << c.source.width << "x" << c.source.height;
    }
    EXPECT_EQ(MediaKit::fitInSquare({640, 480}, 480), (Size{480, 360}));
    EXPECT_EQ(MediaKit::fitInSquare({90, 160}, 480), (Size{90, 160}));
    // A crop keeps whole pixels and even sides.
    EXPECT_EQ(MediaOps::cropFilter({0, 0, 641.7, 481}), "crop=640:480:0:0");
    EXPECT_EQ(MediaOps::cropFilter({10.9, 3.2, 99.9, 60}), "crop=98:60:10:3");
}
