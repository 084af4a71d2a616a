#include "media/ImageOps.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "media/ImageVips.h"

#include <algorithm>

namespace ImageOps {

namespace {
// The source's own lossy format when it can be written; else jpg for an opaque image and heic
// for one with alpha (png where this machine cannot write heic, rather than failing).
std::string lossyTarget(const Path& url, const Image& image)
{
    static const std::set<std::string> lossy = {"jpg", "jpeg", "heic", "avif", "webp"};
    const std::string ext = lowerExt(url);
    if (lossy.count(ext) && canWrite(ext)) return ext;
    if (!image.has_alpha()) return "jpg";
    return canWrite("heic") ? "heic" : "png";
}

std::string sizeLabel(std::int64_t bytes)
{
    return bytes < 1'000'000 ? std::to_string(bytes / 1000) + " KB" : std::to_string(bytes / 1'000'000) + " MB";
}
}

Path compress(const Path& url)
{
    const Loaded loaded = load(url);
    const std::string ext = lossyTarget(url, loaded.image);
    Image image = loaded.image;
    const int longer = std::max(image.width(), image.height());
    if (longer > 4096) image = resize(image, 4096.0 / longer);
    return Output::produce(url, ext, "compressed", [&](const Path& to) { write(image, to, ext, 0.6, loaded.metadata); });
}

std::optional<Path> fit(const Path& url, std::int64_t maxBytes)
{
    if (Output::size(url) <= maxBytes) return std::nullopt;
    const Loaded loaded = load(url);
    const std::string ext = lossyTarget(url, loaded.image);
    Output::ScratchDir scratch;
    const Path probe = scratch.path() / ("probe." + ext);
    const auto fits = [&](const Image& image, double quality) {
        std::error_code ec;
        std::filesystem::remove(probe, ec);
        write(image, probe, ext, quality, loaded.metadata);
        return Output::size(probe) <= maxBytes;
    };
    // Up to seventeen encodes follow: decode once and keep the pixels.
    const auto decoded = [](const Image& image) {
        return ImageVips::guarded(image, "Couldn't fit this image in the size limit", [&] { return image.copy_memory(); });
    };

    Image image = decoded(loaded.image);
    for (int attempt = 1; !fits(image, 0.35); ++attempt) {
        if (attempt == 10) throw KError("Couldn't fit this image in the size limit");
        image = decoded(resize(image, 0.8));
    }
    double lo = 0.35, hi = 0.95;
    for (int step = 0; step < 6; ++step) {
        const double mid = (lo + hi) / 2;
        if (fits(image, mid)) lo = mid;
        else hi = mid;
    }
    return Output::produce(url, ext, sizeLabel(maxBytes), [&](const Path& to) { write(image, to, ext, lo, loaded.metadata); });
}

}
