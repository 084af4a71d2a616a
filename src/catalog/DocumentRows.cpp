#include "catalog/Rows.h"

#include "catalog/CatalogFrame.h"
#include "documents/DocumentOps.h"

#include <algorithm>

namespace ConvertRows {

// Pages documents wait for the office suite's reader; Word 97 files and the "doc" target
// need LibreOffice.
WheelOptions document(const Paths& urls)
{
    const auto same = Catalog::sameExt(urls);
    const bool doc = DocumentOps::canUseDOC();
    if (same.count("pages") || (same.count("doc") && !doc)) return {};
    std::vector<std::string> exts = Catalog::newTargets(DocumentOps::targets, urls);
    std::erase_if(exts, [&](const std::string& ext) {
        return (ext == "md" && same.count("markdown")) || (ext == "html" && same.count("htm")) || (ext == "doc" && !doc);
    });
    return Catalog::formatOptions(exts, DocumentOps::convert);
}

WheelOptions ebook(const Paths&)
{
    return Catalog::formatOptions(DocumentOps::ebookTargets, DocumentOps::convert);
}

}

namespace ToolRows {

// One document: its word count, as the result's message.
WheelOptions document(const Paths& urls)
{
    if (urls.size() != 1) return {};
    RunFn words = [](const Paths& files) { return OptionResult{{}, DocumentOps::wordCount(files.front())}; };
    return {Catalog::option("Words", "number", words)};
}

}
