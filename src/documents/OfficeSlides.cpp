#include "documents/PDFOps.h"

#include "documents/Office.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "documents/LibreOffice.h"

#include <algorithm>

// Kept apart from the other office operations: only slides need the PDF engine.
namespace Office {

namespace {
// Slides are drawn at twice screen resolution: a 13.33-inch wide slide becomes 1920 pixels.
constexpr double slideDPI = 144;
}

Paths slidesConvertAll(const Paths& sources, const std::string& ext)
{
    const bool images = std::find(slideImageExts.begin(), slideImageExts.end(), ext) != slideImageExts.end();
    if (!images && ext != "pdf" && ext != "pptx") throw KError("Can't convert slides to ." + ext);
    if (!images) return exportAll(App::keynote, sources, ext);
    // Impress writes a picture of the first slide only: the deck goes through PDF, whose pages
    // are then drawn one by one.
    const LibreOffice::Filter filter = exportFilter(App::keynote, "pdf");
    const Output::ScratchDir scratch;
    const auto converted = LibreOffice::convertAll(sources, filter, scratch.path());
    Paths outputs;
    for (std::size_t i = 0; i < sources.size(); ++i) outputs.push_back(PDFOps::toImages(converted[i].take(), ext, slideDPI, sources[i]));
    return outputs;
}

Path slidesConvert(const Path& source, const std::string& ext)
{
    return slidesConvertAll({source}, ext).front();
}

}
