#include "catalog/Catalog.h"

#include "documents/ArchiveOps.h"

namespace Catalog {

namespace {
WheelOption packaging(const std::string& title, const std::string& symbol, const std::string& format)
{
    RunFn run = [format](const Paths& urls) {
        OptionResult result;
        result.outputs.push_back(ArchiveOps::compress(urls, format));
        return result;
    };
    return {title, symbol, false, false, run};
}
}

WheelOptions compressOptions(const Paths&)
{
    return {packaging("ZIP", "doc.zipper", "zip"), packaging("TAR.GZ", "archivebox", "tar.gz")};
}

}
