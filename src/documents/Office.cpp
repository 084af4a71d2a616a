#include "documents/Office.h"

#include "core/Errors.h"
#include "core/Files.h"
#include "core/Output.h"
#include "core/Tools.h"
#include "documents/LibreOffice.h"
#include "documents/SpreadsheetOps.h"
#include "documents/TextFile.h"

#include <algorithm>

namespace Office {

namespace fs = std::filesystem;

const std::map<std::string, std::string> pagesExports = {
    {"pdf", "pdf:writer_pdf_Export"}, {"docx", "docx:MS Word 2007 XML"}, {"epub", "epub:EPUB"}, {"txt", "txt:Text (encoded):UTF8"}};
const std::vector<std::string> slideImageExts = {"png", "jpg", "jpeg"};

namespace {
struct Module {
    std::string title;
    std::string package;
    // The library that LibreOffice's installation holds only with this module.
    std::string library;
};

const Module& moduleOf(App app)
{
    static const Module writer{"LibreOffice Writer", "libreoffice-writer", "libswlo.so"};
    static const Module impress{"LibreOffice Impress", "libreoffice-impress", "libsdlo.so"};
    static const Module calc{"LibreOffice Calc", "libreoffice-calc", "libsclo.so"};
    switch (app) {
    case App::pages: return writer;
    case App::keynote: return impress;
    case App::numbers: return calc;
    }
    return writer;
}

const std::map<std::string, std::string>& exportsOf(App app)
{
    static const std::map<std::string, std::string> slides = {{"pdf", "pdf:impress_pdf_Export"}, {"pptx", "pptx:Impress MS PowerPoint 2007 XML"}};
    static const std::map<std::string, std::string> sheets = {{"pdf", "pdf:calc_pdf_Export"}, {"csv", "csv:Text - txt - csv (StarCalc):44,34,76,1"}};
    switch (app) {
    case App::pages: return pagesExports;
    case App::keynote: return slides;
    case App::numbers: return sheets;
    }
    return pagesExports;
}


// Moves a finished file from the scratch folder onto its reserved output name.
void place(const Path& from, const Path& to)
{
    std::error_code ec;
    fs::rename(from, to, ec);
    if (ec == std::errc::cross_device_link) Files::copy(from, to, fs::copy_options::overwrite_existing);
    else if (ec) throw KError(Files::failure("write", to, ec, true));
}

}

std::string name(App app)
{
    return moduleOf(app).title;
}

bool isInstalled(App app)
{
    const auto soffice = Tools::soffice();
    if (!soffice) return false;
    std::error_code ec;
    const Path program = fs::canonical(*soffice, ec).parent_path();
    return !ec && fs::exists(program / moduleOf(app).library, ec);
}

std::string notInstalled(App app)
{
    const Module& module = moduleOf(app);
    return "This needs " + module.title + " — install it with: sudo apt install " + module.package;
}

LibreOffice::Filter exportFilter(App app, const std::string& ext)
{
    if (!isInstalled(app)) throw KError(notInstalled(app));
    const auto& exports = exportsOf(app);
    const auto found = exports.find(ext);
    if (found == exports.end()) throw KError("Can't write ." + ext);
    return {ext, found->second};
}

std::vector<Helper> helpers()
{
    return {{name(App::pages), "Pages and Word documents", isInstalled(App::pages)},
            {name(App::numbers), "Numbers & XLS spreadsheets", isInstalled(App::numbers)},
            {name(App::keynote), "PowerPoint & Keynote slides", isInstalled(App::keynote)}};
}

Paths exportAll(App app, const Paths& sources, const std::string& ext)
{
    const LibreOffice::Filter filter = exportFilter(app, ext);
    const Output::ScratchDir scratch;
    const auto converted = LibreOffice::convertAll(sources, filter, scratch.path());
    Paths outputs;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const Path& file = converted[i].take();
        outputs.push_back(Output::produce(sources[i], ext, "", [&](const Path& to) { place(file, to); }));
    }
    return outputs;
}

Table spreadsheetRows(const Path& source)
{
    const LibreOffice::Filter filter = exportFilter(App::numbers, "csv");
    const Output::ScratchDir scratch;
    const Path csv = LibreOffice::convert(source, filter, scratch.path());
    TableLimits::checkBytes(fs::file_size(csv));
    return SpreadsheetOps::parseDelimited(TextFile::read(csv), ',');
}

}
