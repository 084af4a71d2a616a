#include "catalog/Rows.h"

#include "catalog/CatalogFrame.h"
#include "documents/SubtitleOps.h"

namespace ConvertRows {

WheelOptions subtitle(const Paths& urls)
{
    return Catalog::formatOptions(Catalog::newTargets({"srt", "vtt", "txt"}, urls), SubtitleOps::convert);
}

}
