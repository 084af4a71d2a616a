#include "catalog/Rows.h"

#include "catalog/CatalogFrame.h"
#include "documents/DocumentOps.h"
#include "documents/Office.h"

#include <algorithm>

namespace ConvertRows {

// Pages and Word 97 documents, and the "doc" target, need LibreOffice Writer. A selection of
// Pages documents goes to Writer's own exports in one start of it.
WheelOptions document(const Paths& urls)
{
    const auto same = Catalog::sameExt(urls);
    const bool writer = DocumentOps::canUseDOC();
    if ((same.count("pages") || same.count("doc")) && !writer) return {};
    std::vector<std::string> exts = Catalog::newTargets(DocumentOps::targets, urls);
    std::erase_if(exts, [&](const std::string& ext) {
        return (ext == "md" && same.count("markdown")) || (ext == "html" && same.count("htm")) || (ext == "doc" && !writer);
    });
    WheelOptions options = Catalog::formatOptions(exts, DocumentOps::convert);
    if (same != std::set<std::string>{"pages"}) return options;
    for (WheelOption& option : options) {
        const std::string ext = lowerAscii(option.title);
        if (Office::pagesExports.count(ext)) {
            option.run = [ext](const Paths& files) { return OptionResult{Office::exportAll(Office::App::pages, files, ext), std::nullopt}; };
        }
    }
    return options;
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
