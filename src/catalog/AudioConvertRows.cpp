#include "catalog/Rows.h"

#include "catalog/CatalogFrame.h"
#include "media/MediaOps.h"

namespace ConvertRows {

WheelOptions audio(const Paths& urls)
{
    return Catalog::formatOptions(MediaOps::audioTargets(urls.front()), MediaOps::convert);
}

}
