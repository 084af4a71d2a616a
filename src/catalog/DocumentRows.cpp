#include "catalog/Rows.h"

#include "catalog/CatalogFrame.h"
#include "documents/MarkdownConvert.h"

#include <algorithm>

namespace ConvertRows {

// Markdown sources convert to EPUB and HTML from their own text; other document sources
// and targets need the styled-text model and are not offered yet.
WheelOptions document(const Paths& urls)
{
    const auto same = Catalog::sameExt(urls);
    const bool markdown = std::all_of(same.begin(), same.end(), [](const std::string& ext) { return ext == "md" || ext == "markdown"; });
    if (!markdown) return {};
    return Catalog::formatOptions({"epub", "html"}, MarkdownConvert::convert);
}

}
