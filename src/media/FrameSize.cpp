#include "media/FrameSize.h"

#include <algorithm>
#include <cmath>

namespace MediaKit {

namespace {
Size scaled(Size size, double scale, bool even)
{
    const auto side = [&](int n) {
        const double s = n * std::min(scale, 1.0);
        return even ? std::max(2, static_cast<int>(s / 2 + 1e-6) * 2) : std::max(1, static_cast<int>(std::lround(s)));
    };
    return {side(size.width), side(size.height)};
}
}

Size evenSize(Size size)
{
    return scaled(size, 1, true);
}

Size fitInBox(Size size, Size box)
{
    const bool portrait = size.height > size.width;
    const int longSide = std::max(box.width, box.height), shortSide = std::min(box.width, box.height);
    const Size oriented = portrait ? Size{shortSide, longSide} : Size{longSide, shortSide};
    return scaled(size, std::min(double(oriented.width) / size.width, double(oriented.height) / size.height), true);
}

Size fitInSquare(Size size, int maxSide)
{
    return scaled(size, double(maxSide) / std::max(size.width, size.height), false);
}

}
