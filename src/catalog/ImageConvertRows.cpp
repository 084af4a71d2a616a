#include "catalog/CatalogFrame.h"
#include "catalog/Rows.h"
#include "media/ImageOps.h"

namespace ConvertRows {

WheelOptions image(const Paths& urls)
{
    static const std::vector<std::string> targets = {"png", "jpg", "heic", "webp", "avif", "tiff", "gif", "bmp", "pdf", "ico"};
    const bool tif = Catalog::sameExt(urls).count("tif");
    std::vector<std::string> offered;
    for (const std::string& ext : Catalog::newTargets(targets, urls)) {
        if (!(ext == "tiff" && tif) && ImageOps::canWrite(ext)) offered.push_back(ext);
    }
    return Catalog::formatOptions(offered, ImageOps::convert);
}

}
