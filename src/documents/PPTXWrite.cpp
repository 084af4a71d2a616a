// First: the image library's GLib headers use the word "signals", which Qt's headers define.
#include "documents/PDFOps.h"

#include "documents/Office.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "documents/Package.h"

#include <poppler/qt6/poppler-qt6.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

// A PowerPoint deck of a PDF: one master with one blank layout, and one slide per page whose
// only shape is the page's picture.
namespace Office {

namespace {
const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const std::string namespaces = " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
                               " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
                               " xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"";
const std::string relationType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
const std::string contentType = "application/vnd.openxmlformats-officedocument.";

// PowerPoint measures in EMU (914400 an inch) and takes slide sides from 1 to 56 inches.
constexpr std::int64_t emuPerUnit = 6350;  // a slide 1920 units wide is 13.33 inches
constexpr std::int64_t slideWidthUnits = 1920;
constexpr std::int64_t minSide = 914400;
constexpr std::int64_t maxSide = 51206400;

struct Size {
    std::int64_t cx = 0;
    std::int64_t cy = 0;
};

// 1920 units wide and as high as the first page's aspect asks, brought inside PowerPoint's
// limits for pages far taller or wider than any slide.
Size slideSize(const Path& source, QSizeF page)
{
    const double ratio = page.height() / page.width();
    if (!(page.width() > 0 && page.height() > 0) || !std::isfinite(ratio)) throw KError("The first page of " + source.filename().string() + " has no size");
    const auto round = [](double value) { return static_cast<std::int64_t>(std::llround(value)); };
    Size size{slideWidthUnits * emuPerUnit, round(slideWidthUnits * ratio) * emuPerUnit};
    if (size.cy > maxSide) size = {std::max(minSide, round(maxSide / ratio)), maxSide};
    if (size.cy < minSide) size = {std::min(maxSide, round(minSide / ratio)), minSide};
    return size;
}

std::string bytesOf(const Path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    if (!in) throw KError("Couldn't read " + file.filename().string());
    return bytes.str();
}

// A PNG's pixel size, from its header chunk.
Size pixelsOf(const std::string& png)
{
    const auto word = [&](std::size_t at) {
        std::int64_t value = 0;
        for (std::size_t i = at; i < at + 4 && i < png.size(); ++i) value = value << 8 | static_cast<unsigned char>(png[i]);
        return value;
    };
    return {word(16), word(20)};
}

// The picture as large as the slide allows without stretching it, centred.
std::string picture(int number, Size slide, Size pixels)
{
    Size shown = slide;
    if (pixels.cx > 0 && pixels.cy > 0) {
        if (pixels.cy * slide.cx > slide.cy * pixels.cx) shown.cx = slide.cy * pixels.cx / pixels.cy;
        else shown.cy = slide.cx * pixels.cy / pixels.cx;
    }
    const std::string n = std::to_string(number);
    return "<p:pic><p:nvPicPr><p:cNvPr id=\"2\" name=\"Page " + n + "\"/><p:cNvPicPr><a:picLocks noChangeAspect=\"1\"/></p:cNvPicPr><p:nvPr/></p:nvPicPr>"
           "<p:blipFill><a:blip r:embed=\"rId2\"/><a:stretch><a:fillRect/></a:stretch></p:blipFill>"
           "<p:spPr><a:xfrm><a:off x=\"" + std::to_string((slide.cx - shown.cx) / 2) + "\" y=\"" + std::to_string((slide.cy - shown.cy) / 2) +
           "\"/><a:ext cx=\"" + std::to_string(shown.cx) + "\" cy=\"" + std::to_string(shown.cy) +
           "\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></p:spPr></p:pic>";
}

std::string shapeTree(const std::string& shapes)
{
    return "<p:spTree><p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr><p:grpSpPr><a:xfrm><a:off x=\"0\" y=\"0\"/>"
           "<a:ext cx=\"0\" cy=\"0\"/><a:chOff x=\"0\" y=\"0\"/><a:chExt cx=\"0\" cy=\"0\"/></a:xfrm></p:grpSpPr>" + shapes + "</p:spTree>";
}

std::string relationships(const std::vector<std::pair<std::string, std::string>>& typeAndTarget)
{
    std::string xml = declaration + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (std::size_t i = 0; i < typeAndTarget.size(); ++i) {
        xml += "<Relationship Id=\"rId" + std::to_string(i + 1) + "\" Type=\"" + relationType + typeAndTarget[i].first + "\" Target=\"" + typeAndTarget[i].second + "\"/>";
    }
    return xml + "</Relationships>";
}

std::string theme()
{
    std::string colours;
    for (const auto& [name, rgb] : std::vector<std::pair<std::string, std::string>>{
             {"dk2", "44546A"}, {"lt2", "E7E6E6"}, {"accent1", "4472C4"}, {"accent2", "ED7D31"}, {"accent3", "A5A5A5"}, {"accent4", "FFC000"},
             {"accent5", "5B9BD5"}, {"accent6", "70AD47"}, {"hlink", "0563C1"}, {"folHlink", "954F72"}}) {
        colours += "<a:" + name + "><a:srgbClr val=\"" + rgb + "\"/></a:" + name + ">";
    }
    const std::string font = "<a:latin typeface=\"Calibri\"/><a:ea typeface=\"\"/><a:cs typeface=\"\"/>";
    const std::string fill = "<a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill>";
    const std::string line = "<a:ln w=\"6350\"><a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill></a:ln>";
    const std::string effect = "<a:effectStyle><a:effectLst/></a:effectStyle>";
    return declaration + "<a:theme xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" name=\"Varnolt\"><a:themeElements>"
           "<a:clrScheme name=\"Varnolt\"><a:dk1><a:srgbClr val=\"000000\"/></a:dk1><a:lt1><a:srgbClr val=\"FFFFFF\"/></a:lt1>" + colours + "</a:clrScheme>"
           "<a:fontScheme name=\"Varnolt\"><a:majorFont>" + font + "</a:majorFont><a:minorFont>" + font + "</a:minorFont></a:fontScheme>"
           "<a:fmtScheme name=\"Varnolt\"><a:fillStyleLst>" + fill + fill + fill + "</a:fillStyleLst><a:lnStyleLst>" + line + line + line +
           "</a:lnStyleLst><a:effectStyleLst>" + effect + effect + effect + "</a:effectStyleLst><a:bgFillStyleLst>" + fill + fill + fill +
           "</a:bgFillStyleLst></a:fmtScheme></a:themeElements></a:theme>";
}

Package::Entries deck(Size slide, std::vector<std::string> pictures)
{
    Package::Entries parts;
    std::string overrides, slideIds;
    std::vector<std::pair<std::string, std::string>> deckRelations = {{"slideMaster", "slideMasters/slideMaster1.xml"}, {"theme", "theme/theme1.xml"}};
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        parts["ppt/slides/slide" + n + ".xml"] = declaration + "<p:sld" + namespaces + "><p:cSld>" + shapeTree(picture(int(i + 1), slide, pixelsOf(pictures[i]))) +
                                                 "</p:cSld><p:clrMapOvr><a:masterClrMapping/></p:clrMapOvr></p:sld>";
        parts["ppt/media/image" + n + ".png"] = std::move(pictures[i]);
        parts["ppt/slides/_rels/slide" + n + ".xml.rels"] = relationships({{"slideLayout", "../slideLayouts/slideLayout1.xml"}, {"image", "../media/image" + n + ".png"}});
        overrides += "<Override PartName=\"/ppt/slides/slide" + n + ".xml\" ContentType=\"" + contentType + "presentationml.slide+xml\"/>";
        deckRelations.push_back({"slide", "slides/slide" + n + ".xml"});
        slideIds += "<p:sldId id=\"" + std::to_string(256 + i) + "\" r:id=\"rId" + std::to_string(deckRelations.size()) + "\"/>";
    }
    parts["[Content_Types].xml"] =
        declaration + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                      "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                      "<Default Extension=\"xml\" ContentType=\"application/xml\"/><Default Extension=\"png\" ContentType=\"image/png\"/>"
                      "<Override PartName=\"/ppt/presentation.xml\" ContentType=\"" + contentType + "presentationml.presentation.main+xml\"/>"
                      "<Override PartName=\"/ppt/slideMasters/slideMaster1.xml\" ContentType=\"" + contentType + "presentationml.slideMaster+xml\"/>"
                      "<Override PartName=\"/ppt/slideLayouts/slideLayout1.xml\" ContentType=\"" + contentType + "presentationml.slideLayout+xml\"/>"
                      "<Override PartName=\"/ppt/theme/theme1.xml\" ContentType=\"" + contentType + "theme+xml\"/>" + overrides + "</Types>";
    parts["_rels/.rels"] = relationships({{"officeDocument", "ppt/presentation.xml"}});
    parts["ppt/presentation.xml"] = declaration + "<p:presentation" + namespaces + "><p:sldMasterIdLst><p:sldMasterId id=\"2147483648\" r:id=\"rId1\"/></p:sldMasterIdLst>"
                                    "<p:sldIdLst>" + slideIds + "</p:sldIdLst><p:sldSz cx=\"" + std::to_string(slide.cx) + "\" cy=\"" + std::to_string(slide.cy) +
                                    "\"/><p:notesSz cx=\"6858000\" cy=\"9144000\"/></p:presentation>";
    parts["ppt/_rels/presentation.xml.rels"] = relationships(deckRelations);
    parts["ppt/slideMasters/slideMaster1.xml"] =
        declaration + "<p:sldMaster" + namespaces + "><p:cSld><p:bg><p:bgRef idx=\"1001\"><a:schemeClr val=\"bg1\"/></p:bgRef></p:bg>" + shapeTree("") +
        "</p:cSld><p:clrMap bg1=\"lt1\" tx1=\"dk1\" bg2=\"lt2\" tx2=\"dk2\" accent1=\"accent1\" accent2=\"accent2\" accent3=\"accent3\" accent4=\"accent4\""
        " accent5=\"accent5\" accent6=\"accent6\" hlink=\"hlink\" folHlink=\"folHlink\"/>"
        "<p:sldLayoutIdLst><p:sldLayoutId id=\"2147483649\" r:id=\"rId1\"/></p:sldLayoutIdLst></p:sldMaster>";
    parts["ppt/slideMasters/_rels/slideMaster1.xml.rels"] = relationships({{"slideLayout", "../slideLayouts/slideLayout1.xml"}, {"theme", "../theme/theme1.xml"}});
    parts["ppt/slideLayouts/slideLayout1.xml"] = declaration + "<p:sldLayout" + namespaces + " type=\"blank\" preserve=\"1\"><p:cSld name=\"Blank\">" + shapeTree("") +
                                                 "</p:cSld><p:clrMapOvr><a:masterClrMapping/></p:clrMapOvr></p:sldLayout>";
    parts["ppt/slideLayouts/_rels/slideLayout1.xml.rels"] = relationships({{"slideMaster", "../slideMasters/slideMaster1.xml"}});
    parts["ppt/theme/theme1.xml"] = theme();
    return parts;
}
}

Path pdfToPPTX(const Path& source)
{
    Size slide;
    {
        const std::unique_ptr<Poppler::Document> document = PDFOps::open(source);
        const std::unique_ptr<Poppler::Page> first(document->numPages() > 0 ? document->page(0) : nullptr);
        if (!first) throw KError("This PDF has no pages");
        slide = slideSize(source, first->pageSizeF());
    }
    const Output::ScratchDir scratch;
    std::vector<std::string> pictures;
    for (const Path& page : PDFOps::renderPages(source, "png", 200, scratch.path())) pictures.push_back(bytesOf(page));
    const Package::Entries parts = deck(slide, std::move(pictures));
    return Output::produce(source, "pptx", "", [&](const Path& to) { Package::write(parts, std::nullopt, to, Package::Compression::fast); });
}

}
