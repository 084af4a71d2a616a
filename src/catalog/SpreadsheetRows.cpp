#include "catalog/Rows.h"

#include "catalog/CatalogFrame.h"
#include "documents/Office.h"
#include "documents/SpreadsheetOps.h"

namespace {
// Numbers and XLS files are read through LibreOffice Calc.
bool readable(const Paths& urls)
{
    const std::set<std::string> same = Catalog::sameExt(urls);
    return !(same.count("numbers") || same.count("xls")) || Office::isInstalled(Office::App::numbers);
}
}

namespace ConvertRows {

WheelOptions spreadsheet(const Paths& urls)
{
    if (!readable(urls)) return {};
    return Catalog::formatOptions(Catalog::newTargets(SpreadsheetOps::targets, urls), SpreadsheetOps::convert);
}

}

namespace ToolRows {

WheelOptions spreadsheet(const Paths& urls)
{
    if (!readable(urls)) return {};
    RunFn dedupe = [](const Paths& urls) {
        OptionResult result;
        std::size_t removed = 0;
        for (const Path& url : urls) {
            const SpreadsheetOps::Deduped deduped = SpreadsheetOps::dedupe(url);
            result.outputs.push_back(deduped.output);
            removed += deduped.removed;
        }
        result.message = "Removed " + std::to_string(removed) + " duplicate row" + (removed == 1 ? "" : "s");
        return result;
    };
    return {Catalog::option("Dedupe", "line.3.horizontal.decrease", dedupe)};
}

}
