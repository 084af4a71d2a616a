#include "media/ImageOps.h"

#include "core/Errors.h"
#include "media/ImageMetadata.h"
#include "media/ImageVips.h"

#include <algorithm>
#include <cmath>

namespace ImageOps {

namespace {
// The blocks worth keeping: camera and TIFF tags with GPS, IPTC and XMP, each without its
// turn (the pixels are upright). Everything else is dropped.
Metadata preservedMetadata(const Image& image)
{
    Metadata kept;
    for (const char* field : {VIPS_META_EXIF_NAME, VIPS_META_IPTC_NAME, VIPS_META_XMP_NAME}) {
        if (!image.get_typeof(field)) continue;
        size_t length = 0;
        const void* data = image.get_blob(field, &length);
        const std::string block(static_cast<const char*>(data), length);
        const std::string name = field;
        kept[field] = name == VIPS_META_EXIF_NAME ? ImageMetadata::withoutOrientation(block) : name == VIPS_META_XMP_NAME ? ImageMetadata::xmpUpright(block) : block;
    }
    return kept;
}

// 8-bit sRGB or grey, alpha kept. RGB and grey pixels stay as they are, with their ICC
// profile; other colour spaces are converted, through their profile when they carry one.
Image normalised(Image image)
{
    const VipsInterpretation space = image.interpretation();
    const bool rgb = image.bands() >= 3 && (space == VIPS_INTERPRETATION_sRGB || space == VIPS_INTERPRETATION_RGB16);
    const bool grey = image.bands() <= 2 && (space == VIPS_INTERPRETATION_B_W || space == VIPS_INTERPRETATION_GREY16);
    if (rgb || grey) {
        if (image.format() != VIPS_FORMAT_UCHAR) image = image.colourspace(rgb ? VIPS_INTERPRETATION_sRGB : VIPS_INTERPRETATION_B_W);
    } else if (image.get_typeof(VIPS_META_ICC_NAME)) {
        image = image.icc_transform("srgb", Image::option()->set("embedded", true)->set("depth", 8));
    } else {
        image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    }
    return image.format() == VIPS_FORMAT_UCHAR ? image : image.cast(VIPS_FORMAT_UCHAR);
}

int orientation(const Image& image)
{
    if (!image.get_typeof(VIPS_META_ORIENTATION)) return 1;
    return image.get_int(VIPS_META_ORIENTATION);
}
}

Loaded load(const Path& url, double scale)
{
    ImageVips::Opened opened = ImageVips::open(url, true);
    const int width = std::max(1, static_cast<int>(std::lround(opened.image.width() * scale)));
    const int height = std::max(1, static_cast<int>(std::lround(opened.image.height() * scale)));
    // libjpeg's reduced sizes round up; never shrink below the target.
    const auto reduced = [](int side, int by) { return (side + by - 1) / by; };
    int shrink = 1;
    while (shrink < 8 && reduced(opened.image.width(), shrink * 2) >= width && reduced(opened.image.height(), shrink * 2) >= height) shrink *= 2;
    if (shrink > 1) opened = ImageVips::open(url, true, shrink);

    const Image& raw = opened.image;
    const std::int64_t pixels = std::int64_t(raw.width()) * raw.height();
    if (pixels > maxPixels) {
        throw KError(url.filename().string() + " is too large to open: " + std::to_string(raw.width()) + " × " + std::to_string(raw.height()) +
                     " pixels (the limit is " + std::to_string(maxPixels / 1'000'000) + " megapixels)");
    }
    try {
        Image image = ImageVips::resized(normalised(raw), width, height);
        // Turning needs the whole picture; sequential reading gives it top to bottom once.
        if (orientation(raw) > 1) image = image.copy_memory().autorot();
        return {ImageVips::withSource(image, url), opened.fallback ? Metadata{} : preservedMetadata(raw)};
    } catch (const vips::VError&) {
        vips_error_clear();
        throw KError(ImageVips::cannotRead(url));
    }
}

}
