#include "catalog/Rows.h"

#include "catalog/CatalogFrame.h"
#include "documents/SubtitleOps.h"

namespace ConvertRows {

WheelOptions subtitle(const Paths& urls)
{
    const auto same = Catalog::sameExt(urls);
    std::vector<std::string> targets;
    for (const char* target : {"srt", "vtt", "txt"}) {
        if (!same.contains(target)) targets.push_back(target);
    }
    return Catalog::formatOptions(targets, SubtitleOps::convert);
}

}
