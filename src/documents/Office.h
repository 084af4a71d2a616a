#pragma once
#include "core/Paths.h"
#include "documents/LibreOffice.h"
#include "documents/Table.h"

#include <map>
#include <string>
#include <vector>

// The office formats: Pages and Word documents through LibreOffice Writer, Numbers and XLS
// spreadsheets through Calc, Keynote and PowerPoint slides through Impress, all run headless
// by the LibreOffice driver. PDF → PPTX needs none of them: the deck is written here.
namespace Office {
enum class App { pages, keynote, numbers };

// "LibreOffice Writer", "LibreOffice Impress", "LibreOffice Calc".
std::string name(App app);
// soffice is found and LibreOffice has the module that stands for app.
bool isInstalled(App app);
// "This needs LibreOffice Writer — install it with: sudo apt install libreoffice-writer".
std::string notInstalled(App app);

// Target extension → Writer's export filter, for the targets a Pages document is exported to
// directly: pdf, docx, epub, txt.
extern const std::map<std::string, std::string> pagesExports;
// The picture formats a presentation's slides are written in, one file per slide.
extern const std::vector<std::string> slideImageExts;

// The app's own export filter for ext; KError when the app or the filter is missing.
LibreOffice::Filter exportFilter(App app, const std::string& ext);

// One line of the settings window's helper list.
struct Helper {
    std::string title;
    std::string detail;
    bool available = false;
};
// Writer, Calc and Impress, in that order.
std::vector<Helper> helpers();

// Exports every source (all documents of app) to ext with the app's own export, in one
// LibreOffice start; each output beside its source. The first source without an output ends
// the run with the earlier outputs kept.
Paths exportAll(App app, const Paths& sources, const std::string& ext);
// The first sheet of a Numbers document or an Excel 97 workbook, as Calc shows its cells.
Table spreadsheetRows(const Path& source);
// Each presentation to pdf or pptx (a file), or png, jpg, jpeg: a "<name> (PNG)" folder of one
// picture per slide, or just the picture for a one-slide deck. KError "Can't convert slides
// to .<ext>" otherwise.
Paths slidesConvertAll(const Paths& sources, const std::string& ext);
Path slidesConvert(const Path& source, const std::string& ext);
// A PowerPoint deck of the PDF's pages, one full-slide picture each, sized to the first page.
Path pdfToPPTX(const Path& source);
}
