#include "media/ImageOps.h"

#include "media/ImageVips.h"

#include <algorithm>
#include <cmath>

namespace ImageOps {

using ImageVips::guarded;

Image resize(const Image& image, double scale)
{
    return guarded(image, "Couldn't resize image", [&] {
        const int width = std::max(1, static_cast<int>(std::lround(image.width() * scale)));
        const int height = std::max(1, static_cast<int>(std::lround(image.height() * scale)));
        return ImageVips::resized(image, width, height);
    });
}

Image rotateClockwise(const Image& image)
{
    // A quarter turn reads every row for each output row: decode once into memory.
    return guarded(image, "Couldn't rotate image", [&] { return image.copy_memory().rot90(); });
}

Image flipHorizontal(const Image& image)
{
    return guarded(image, "Couldn't flip image", [&] { return image.flip(VIPS_DIRECTION_HORIZONTAL); });
}

Image grayscale(const Image& image)
{
    return guarded(image, "Couldn't apply grayscale", [&] {
        Image gray = image.colourspace(VIPS_INTERPRETATION_B_W).copy();
        // The source's RGB profile would not describe grey pixels.
        gray.remove(VIPS_META_ICC_NAME);
        return gray;
    });
}

Image flatten(const Image& image)
{
    if (!image.has_alpha()) return image;
    return guarded(image, "Couldn't flatten image", [&] { return image.flatten(Image::option()->set("background", std::vector<double>{255.0})); });
}

Image squareIcon(const Image& image, int side)
{
    const int longer = std::max(image.width(), image.height());
    const int size = std::max(1, std::min(longer, side));
    const Image scaled = size == longer ? image : resize(image, double(size) / longer);
    return guarded(image, "Couldn't make icon", [&] {
        const Image withAlpha = scaled.has_alpha() ? scaled : scaled.bandjoin_const({255.0});
        return withAlpha.embed((size - withAlpha.width()) / 2, (size - withAlpha.height()) / 2, size, size);
    });
}

}
