#include "FakeOffice.h"
#include "TestSupport.h"
#include "catalog/Catalog.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {
using Titles = std::vector<std::string>;

Titles convertTitles(const Paths& files)
{
    return titles(Catalog::convertOptions(Catalog::kindOf(files), files));
}

Titles toolTitles(const Paths& files)
{
    return titles(Catalog::toolOptions(Catalog::kindOf(files), files));
}

const Titles sheetTargets = {"XLSX", "CSV", "TSV", "ODS", "PDF", "JSON", "HTML", "MD"};
const Titles pdfTargets = {"DOCX", "PPTX", "XLSX", "JPG", "PNG", "EPUB", "TXT", "MD"};
}

// What each selection is offered with every module, with Writer alone, and with a soffice
// that has no modules. "pages" and "key" are never targets: LibreOffice cannot write them.
TEST(OfficeRows, ListsFollowTheInstalledModules)
{
    struct Case {
        Paths files;
        Titles all;
        Titles writerOnly;
        Titles none;
    };
    const Case cases[] = {
        {{"/x/talk.key"}, {"PDF", "JPG", "PNG", "PPTX"}, {}, {}},
        {{"/x/talk.pptx"}, {"PDF", "JPG", "PNG"}, {}, {}},
        {{"/x/a.ppt", "/x/b.odp"}, {"PDF", "JPG", "PNG", "PPTX"}, {}, {}},
        {{"/x/budget.numbers"}, sheetTargets, {}, {}},
        {{"/x/budget.numbers", "/x/old.XLS"}, sheetTargets, {}, {}},
        {{"/x/letter.pages"}, {"PDF", "DOCX", "EPUB", "MD", "HTML", "RTF", "TXT", "ODT", "DOC"}, {"PDF", "DOCX", "EPUB", "MD", "HTML", "RTF", "TXT", "ODT", "DOC"}, {}},
        {{"/x/report.pdf"}, pdfTargets, pdfTargets, pdfTargets},
    };
    const struct {
        std::vector<std::string> libraries;
        Titles Case::*pick;
    } installs[] = {
        {{"libswlo.so", "libsclo.so", "libsdlo.so"}, &Case::all},
        {{"libswlo.so"}, &Case::writerOnly},
        {{}, &Case::none},
    };
    for (const auto& install : installs) {
        const FakeOffice office(install.libraries);
        for (const auto& c : cases) EXPECT_EQ(convertTitles(c.files), c.*install.pick) << c.files.front() << " with " << install.libraries.size() << " modules";
        EXPECT_EQ(toolTitles({"/x/old.xls"}), install.libraries.size() == 3 ? (Titles{"Dedupe", "Zip"}) : Titles{"Zip"});
    }
}
