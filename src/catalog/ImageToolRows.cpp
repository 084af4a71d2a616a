#include "core/Output.h"
#include "catalog/Rows.h"
#include "catalog/CatalogFrame.h"
#include "media/ImageOps.h"

#include <functional>

namespace ToolRows {

namespace {
using Transform = std::function<ImageOps::Image(const ImageOps::Image&)>;

// Loads each image (scaled by `scale`), transforms it and writes it next to the source in the
// source's format (png when that cannot be written), with or without the source's metadata.
WheelOption imageTool(const std::string& title, const std::string& symbol, const std::string& suffix, bool keepMetadata, Transform transform,
                      double scale = 1)
{
    return {title, symbol, false, false, Catalog::each([suffix, keepMetadata, transform, scale](const Path& url) {
                const ImageOps::Loaded loaded = ImageOps::load(url, scale);
                const std::string source = lowerExt(url);
                const std::string ext = source != "pdf" && ImageOps::canWrite(source) ? source : "png";
                Output::Pending pending(Output::url(url, ext, suffix));
                ImageOps::write(transform(loaded.image), pending.path(), ext, 0.9, keepMetadata ? loaded.metadata : ImageOps::Metadata{});
                return pending.keep();
            })};
}
}

WheelOptions image(const Paths& urls)
{
    WheelOptions list;
    list.push_back({"Compress", "arrow.down.right.and.arrow.up.left", false, false, Catalog::each(ImageOps::compress)});
    list.push_back(Catalog::fitOption("Fit 1 MB", 1'000'000, ImageOps::fit));
    // Halving while loading lets a JPEG decode at half size straight away.
    list.push_back(imageTool("Resize", "rectangle.compress.vertical", "50%", true, [](const ImageOps::Image& image) { return image; }, 0.5));
    list.push_back(imageTool("Rotate", "rotate.right", "rotated", true, ImageOps::rotateClockwise));
    list.push_back(imageTool("Flip", "arrow.left.and.right.righttriangle.left.righttriangle.right", "flipped", true, ImageOps::flipHorizontal));
    list.push_back(imageTool("Grayscale", "circle.lefthalf.filled", "grayscale", true, ImageOps::grayscale));
    list.push_back(imageTool("Metadata", "eye.slash", "clean", false, [](const ImageOps::Image& image) { return image; }));
    list.push_back({urls.size() == 1 ? "PDF" : "Combine", "doc.richtext", false, false, [](const Paths& files) {
                        return OptionResult{{ImageOps::combineToPDF(files)}, std::nullopt};
                    }});
    return list;
}

}
