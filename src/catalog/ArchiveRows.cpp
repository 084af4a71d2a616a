#include "catalog/Rows.h"

#include "catalog/CatalogFrame.h"
#include "documents/ArchiveOps.h"

#include <algorithm>

namespace {
WheelOption extractOption()
{
    return {"Extract", "arrow.up.bin", false, false, Catalog::each(ArchiveOps::extract)};
}

WheelOption repackOption(const std::string& ext)
{
    return {upperAscii(ext), std::nullopt, false, false, Catalog::each([ext](const Path& url) { return ArchiveOps::repack(url, ext); })};
}
}

namespace ConvertRows {

WheelOptions archive(const Paths& urls)
{
    WheelOptions options = {extractOption()};
    // A single compressed file (log.gz) holds no archive to pack again.
    const bool plainGzip = std::any_of(urls.begin(), urls.end(), [](const Path& url) { return lowerExt(url) == "gz" && lowerExt(url.stem()) != "tar"; });
    if (plainGzip) return options;
    if (!Catalog::sameExt(urls).count("zip")) options.push_back(repackOption("zip"));
    options.push_back(repackOption("tar.gz"));
    return options;
}

}

namespace ToolRows {

WheelOptions archive(const Paths&)
{
    return {extractOption()};
}

}
