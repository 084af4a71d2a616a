#include "media/ImageOps.h"

#include "core/Output.h"

#include <array>

namespace ImageOps {

namespace {
struct EditRow {
    Edit edit;
    const char* suffix;
    bool keepsMetadata;
    // Scale applied while loading: halving there lets a JPEG decode at half size straight away.
    double loadScale;
    Image (*pixels)(const Image&);
};

Image unchanged(const Image& image)
{
    return image;
}

constexpr std::array<EditRow, 5> edits = {{
    {Edit::halve, "50%", true, 0.5, unchanged},
    {Edit::rotate, "rotated", true, 1, rotateClockwise},
    {Edit::flip, "flipped", true, 1, flipHorizontal},
    {Edit::grayscale, "grayscale", true, 1, grayscale},
    {Edit::stripMetadata, "clean", false, 1, unchanged},
}};
}

Path convert(const Path& url, const std::string& ext)
{
    const Loaded loaded = load(url);
    return Output::produce(url, ext, "", [&](const Path& to) { write(loaded.image, to, ext, 0.9, loaded.metadata); });
}

Path transform(const Path& url, Edit edit)
{
    const EditRow& row = edits[static_cast<size_t>(edit)];
    const Loaded loaded = load(url, row.loadScale);
    const std::string source = lowerExt(url);
    const std::string ext = source != "pdf" && canWrite(source) ? source : "png";
    return Output::produce(url, ext, row.suffix, [&](const Path& to) {
        write(row.pixels(loaded.image), to, ext, 0.9, row.keepsMetadata ? loaded.metadata : Metadata{});
    });
}

}
