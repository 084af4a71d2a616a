#include "catalog/Rows.h"

#include "catalog/CatalogFrame.h"
#include "documents/ArchiveOps.h"

#include <algorithm>

namespace {
const WheelOption extract = Catalog::option("Extract", "arrow.up.bin", Catalog::each(ArchiveOps::extract));

WheelOption repack(const std::string& ext)
{
    return {upperAscii(ext), std::nullopt, false, false, Catalog::each([ext](const Path& url) { return ArchiveOps::repack(url, ext); })};
}

// A single compressed file (log.gz) holds no archive to pack again.
bool noPlainGzip(const Paths& urls)
{
    return std::none_of(urls.begin(), urls.end(), [](const Path& url) { return lowerExt(url) == "gz" && lowerExt(url.stem()) != "tar"; });
}
}

namespace ConvertRows {

WheelOptions archive(const Paths& urls)
{
    static const Catalog::Rows rows = {
        {extract},
        {repack("zip"), [](const Paths& urls) { return noPlainGzip(urls) && !Catalog::sameExt(urls).count("zip"); }},
        {repack("tar.gz"), noPlainGzip},
    };
    return Catalog::offered(rows, urls);
}

}

namespace ToolRows {

WheelOptions archive(const Paths&)
{
    return {extract};
}

}
