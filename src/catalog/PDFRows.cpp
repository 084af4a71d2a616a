#include "catalog/Rows.h"

#include "catalog/CatalogFrame.h"
#include "documents/DocumentOps.h"
#include "documents/Office.h"
#include "documents/PDFOps.h"
#include "documents/VisionPDF.h"

namespace {
// The text as a document, a table from the text, the pages as pictures at print resolution,
// or as slides.
Path convert(const Path& url, const std::string& ext)
{
    if (ext == "pptx") return Office::pdfToPPTX(url);
    if (ext == "xlsx") return PDFOps::toSpreadsheet(url, ext);
    if (ext == "jpg" || ext == "png") return PDFOps::toImages(url, ext, 300);
    return DocumentOps::convert(url, ext);
}

bool several(const Paths& urls)
{
    return urls.size() >= 2;
}

RunFn merge = [](const Paths& urls) { return OptionResult{{PDFOps::merge(urls)}, std::nullopt}; };
}

namespace ConvertRows {

WheelOptions pdf(const Paths&)
{
    return Catalog::formatOptions({"docx", "pptx", "xlsx", "jpg", "png", "epub", "txt", "md"}, convert);
}

}

namespace ToolRows {

WheelOptions pdf(const Paths& urls)
{
    static const Catalog::Rows rows = {
        {Catalog::option("Compress", "arrow.down.right.and.arrow.up.left", Catalog::each(PDFOps::compress))},
        {Catalog::option("Merge", "doc.on.doc", merge), several},
        {Catalog::option("Split", "scissors", Catalog::each(PDFOps::split))},
        {Catalog::option("Rotate", "rotate.right", Catalog::each(PDFOps::rotate))},
        {Catalog::ocrOption(VisionOps::ocrPDF)},
    };
    return Catalog::offered(rows, urls);
}

}
