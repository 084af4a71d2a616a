#pragma once

namespace MediaKit {
struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// Even sides, for encoders that need them, never larger than the source: 1919 × 1079 gives
// 1918 × 1078.
Size evenSize(Size size);
// Fits size inside a box of these sides in either orientation (a portrait video fills a
// 1280 × 720 box as 720 × 1280), keeping the aspect and never enlarging; even sides.
Size fitInBox(Size size, Size box);
// Fits size inside a square of side maxSide, keeping the aspect and never enlarging.
Size fitInSquare(Size size, int maxSide);
}
