#include "catalog/Rows.h"

#include "catalog/CatalogFrame.h"
#include "documents/PDFOps.h"

namespace ConvertRows {

// Pages as pictures at print resolution, and text tables as spreadsheets. The text targets
// (DOCX, EPUB, TXT, MD) join when the document writers land.
WheelOptions pdf(const Paths&)
{
    WheelOptions list = Catalog::formatOptions({"xlsx"}, PDFOps::toSpreadsheet);
    for (WheelOption& option : Catalog::formatOptions({"jpg", "png"}, [](const Path& url, const std::string& ext) { return PDFOps::toImages(url, ext, 300); })) {
        list.push_back(std::move(option));
    }
    return list;
}

}

namespace ToolRows {

WheelOptions pdf(const Paths& urls)
{
    WheelOptions list;
    list.push_back({"Compress", "arrow.down.right.and.arrow.up.left", false, false, Catalog::each(PDFOps::compress)});
    if (urls.size() >= 2) {
        list.push_back({"Merge", "doc.on.doc", false, false, [](const Paths& files) { return OptionResult{{PDFOps::merge(files)}, std::nullopt}; }});
    }
    list.push_back({"Split", "scissors", false, false, Catalog::each(PDFOps::split)});
    list.push_back({"Rotate", "rotate.right", false, false, Catalog::each(PDFOps::rotate)});
    return list;
}

}
