#include "catalog/Catalog.h"

#include "documents/ArchiveOps.h"

namespace Catalog {

namespace {
RunFn packaging(const std::string& format)
{
    return [format](const Paths& urls) { return OptionResult{{ArchiveOps::compress(urls, format)}, std::nullopt}; };
}
}

WheelOptions compressOptions(const Paths&)
{
    return {option("ZIP", "doc.zipper", packaging("zip")), option("TAR.GZ", "archivebox", packaging("tar.gz"))};
}

}
