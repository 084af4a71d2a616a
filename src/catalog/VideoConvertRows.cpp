#include "catalog/Rows.h"

#include "catalog/CatalogFrame.h"
#include "media/MediaOps.h"

namespace ConvertRows {

WheelOptions video(const Paths& urls)
{
    return Catalog::formatOptions(MediaOps::videoTargets(urls.front()), MediaOps::convert, Batch::Load::heavy);
}

}
