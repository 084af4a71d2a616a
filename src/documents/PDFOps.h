#pragma once
#include "core/Paths.h"
#include "media/ImageOps.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class QTextDocument;
namespace Poppler {
class Document;
class Page;
}

// The PDF tools: pages to images or a table, styled text for the document converters, and
// shrinking, merging, splitting and rotating. Poppler reads and renders; qpdf rewrites files,
// so merge, split and rotate never touch page content, and only toImages rasterises.
// Every operation opens its sources with the same two messages: "Couldn't open <name>" and
// "<name> is password-protected".
namespace PDFOps {
// The largest page bitmap render makes; the same ceiling as any image we decode (about
// 1 GB while a page is drawn). An A0 poster at 300 dpi is 139 million pixels.
inline constexpr std::int64_t maxRenderPixels = ImageOps::maxPixels;

std::unique_ptr<Poppler::Document> open(const Path& url);
// All pages' text in order, two line feeds between page texts, with the fonts, sizes,
// underlines and colours Poppler reports.
std::unique_ptr<QTextDocument> attributedText(const Path& url);
// The page as shown (crop box, page rotation applied) at dpi / 72 pixels per point, each side
// truncated, on opaque white. KError "Page too large" above maxRenderPixels.
ImageOps::Image render(const Poppler::Page& page, double dpi);
// One page: a file. Several: a "<name> (PNG)" folder of "<name>-01.png"…, pages drawn on
// several threads. The output is named and placed for outputFor when given (a PDF made in a
// scratch folder on the way from another format).
Path toImages(const Path& url, const std::string& ext, double dpi, const std::optional<Path>& outputFor = std::nullopt);
// Every page drawn into folder as toImages names them; the files in page order, pages the
// document cannot provide left out.
Paths renderPages(const Path& url, const std::string& ext, double dpi, const Path& folder);
// Each text line a row, columns where two or more spaces or a tab separate the text.
Path toSpreadsheet(const Path& url, const std::string& ext);
// Rewritten with object streams and recompressed streams; images above 150 dpi on their page
// are brought down to 150 dpi as JPEG at quality 0.6. KError when that is not smaller.
Path compress(const Path& url);
// Every page of every file in order, in one "<first> (merged).pdf" that keeps the first file's
// outline and everyone's page sizes, rotations, links and form fields.
Path merge(const Paths& urls);
// One file per page in a "<name> (pages)" folder.
Path split(const Path& url);
// Every page turned a quarter clockwise.
Path rotate(const Path& url);
}
