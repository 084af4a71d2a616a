#include "media/ImageVips.h"

#include "media/EditExports.h"

#include "core/Errors.h"
#include "core/FileKind.h"
#include "core/Output.h"
#include "core/Tools.h"
#include "media/ImageOps.h"
#include "media/MediaOps.h"
#include "media/MediaTools.h"

#include <algorithm>

namespace EditExports {

namespace {
// A rectangle from an editor of another process is checked, never trusted: libvips and
// ffmpeg would otherwise fail with words no user can act on.
void checkInside(const Editing::Rect& rect, int width, int height)
{
    if (rect.width <= 0 || rect.height <= 0) throw KError("The crop area is empty — choose a larger area");
    if (rect.x < 0 || rect.y < 0 || rect.x + rect.width > width || rect.y + rect.height > height)
        throw KError("The crop area lies outside the picture — choose it again");
}
}

Picture picture(const Path& url, int maxSide)
{
    const bool video = FileKinds::of(url) == FileKind::video;
    // An image's load reads only its header; the preview then decodes at the smaller size.
    const ImageOps::Image whole = video ? MediaOps::firstFrame(url) : ImageOps::load(url).image;
    const double scale = std::min(1.0, double(maxSide) / std::max(whole.width(), whole.height()));
    ImageOps::Image shown = whole;
    if (scale < 1) shown = video ? ImageOps::resize(whole, scale) : ImageOps::load(url, scale).image;
    return {ImageVips::toQImage(shown), whole.width(), whole.height()};
}

Path cropImage(const Path& url, const Editing::Rect& rect)
{
    const ImageOps::Loaded loaded = ImageOps::load(url);
    checkInside(rect, loaded.image.width(), loaded.image.height());
    const std::string source = lowerExt(url);
    const std::string ext = source != "pdf" && ImageOps::canWrite(source) ? source : "png";
    return Output::produce(url, ext, "cropped", [&](const Path& to) {
        ImageOps::write(loaded.image.extract_area(rect.x, rect.y, rect.width, rect.height), to, ext, 0.9, loaded.metadata);
    });
}

Path cropVideo(const Path& url, const Editing::Rect& rect)
{
    if (!Tools::ffmpeg()) throw KError("Cropping video needs ffmpeg — install it with: sudo apt install ffmpeg");
    // Most encoders refuse odd sizes.
    const Editing::Rect even{rect.x, rect.y, rect.width / 2 * 2, rect.height / 2 * 2};
    const ImageOps::Image frame = MediaOps::firstFrame(url);
    checkInside(even, frame.width(), frame.height());
    return MediaOps::cropVideo(url, {double(even.x), double(even.y), double(even.width), double(even.height)});
}

Path trim(const Path& url, double from, double to)
{
    if (!(to > from) || from < 0) throw KError("The part to keep is empty — choose a longer part");
    return MediaOps::trim(url, from, to);
}

}
