#include "core/Output.h"
#include "catalog/Rows.h"
#include "catalog/CatalogFrame.h"
#include "media/ImageOps.h"

namespace ConvertRows {

WheelOptions image(const Paths& urls)
{
    static const std::vector<std::string> targets = {"png", "jpg", "heic", "webp", "avif", "tiff", "gif", "bmp", "pdf", "ico"};
    const std::set<std::string> same = Catalog::sameExt(urls);
    std::vector<std::string> offered;
    for (const std::string& ext : targets) {
        if (same.count(ext) || (ext == "tiff" && same.count("tif"))) continue;
        if (ImageOps::canWrite(ext)) offered.push_back(ext);
    }
    return Catalog::formatOptions(offered, [](const Path& url, const std::string& ext) {
        const ImageOps::Loaded loaded = ImageOps::load(url);
        Output::Pending pending(Output::url(url, ext));
        ImageOps::write(loaded.image, pending.path(), ext, 0.9, loaded.metadata);
        return pending.keep();
    });
}

}
