#include "catalog/Rows.h"

#include "catalog/CatalogFrame.h"
#include "documents/Office.h"

namespace ConvertRows {

// Presentations go through LibreOffice Impress, the whole selection in one start of it.
// PowerPoint is the one deck format it writes.
WheelOptions slides(const Paths& urls)
{
    if (!Office::isInstalled(Office::App::keynote)) return {};
    WheelOptions options;
    for (const std::string& ext : Catalog::newTargets({"pdf", "jpg", "png", "pptx"}, urls)) {
        RunFn run = [ext](const Paths& files) { return OptionResult{Office::slidesConvertAll(files, ext), std::nullopt}; };
        options.push_back({upperAscii(ext), std::nullopt, false, false, run});
    }
    return options;
}

}
