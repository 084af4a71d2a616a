#include "FakeOffice.h"
#include "TestSupport.h"
#include "catalog/Catalog.h"
#include "core/Tools.h"

#include <cstdlib>

using namespace TestSupport;

// The titles of the convert and tools pages each kind of selection is offered, as tools are
// installed or not.
namespace {
using Titles = std::vector<std::string>;
using DocumentRows = FreshHomeWithFiles;
using MediaToolRows = FreshHomeWithFiles;

Titles convertTitles(const Paths& files) { return titles(Catalog::convertOptions(Catalog::kindOf(files), files)); }
Titles toolTitles(const Paths& files) { return titles(Catalog::toolOptions(Catalog::kindOf(files), files)); }

// The list with DOC at its end only where LibreOffice can write it.
Titles withDOC(Titles list)
{
    if (Tools::soffice()) list.push_back("DOC");
    return list;
}

const Titles sheetTargets = {"XLSX", "CSV", "TSV", "ODS", "PDF", "JSON", "HTML", "MD"};
const Titles pdfTargets = {"DOCX", "PPTX", "XLSX", "JPG", "PNG", "EPUB", "TXT", "MD"};
}

TEST_F(DocumentRows, TargetsPerSelection)
{
    EXPECT_EQ(convertTitles({"/x/notes.md"}), withDOC({"PDF", "DOCX", "EPUB", "HTML", "RTF", "TXT", "ODT"}));
    EXPECT_EQ(convertTitles({"/x/notes.md", "/x/more.markdown"}), withDOC({"PDF", "DOCX", "EPUB", "HTML", "RTF", "TXT", "ODT"}));
    EXPECT_EQ(convertTitles({"/x/page.htm"}), withDOC({"PDF", "DOCX", "EPUB", "MD", "RTF", "TXT", "ODT"}));
    EXPECT_EQ(convertTitles({"/x/a.docx", "/x/b.rtf"}), withDOC({"PDF", "EPUB", "MD", "HTML", "TXT", "ODT"}));
    EXPECT_EQ(convertTitles({"/x/old.doc"}), (Tools::soffice() ? Titles{"PDF", "DOCX", "EPUB", "MD", "HTML", "RTF", "TXT", "ODT"} : Titles{}));
    EXPECT_EQ(convertTitles({"/x/story.epub"}), (Titles{"PDF", "DOCX", "MD", "HTML", "RTF", "TXT"}));
    EXPECT_EQ(toolTitles({"/x/essay.odt"}), (Titles{"Words", "Zip"}));
    EXPECT_EQ(toolTitles({"/x/story.epub"}), (Titles{"Words", "Zip"}));
    EXPECT_EQ(toolTitles({"/x/a.odt", "/x/b.odt"}), Titles{"Zip"});
}

// What each selection is offered with every module, with Writer alone, and with a soffice
// that has no modules. "pages" and "key" are never targets: LibreOffice cannot write them.
TEST(OfficeRows, ListsFollowTheInstalledModules)
{
    struct Case { Paths files; Titles all, writerOnly, none; };
    const Case cases[] = {
        {{"/x/talk.key"}, {"PDF", "JPG", "PNG", "PPTX"}, {}, {}},
        {{"/x/talk.pptx"}, {"PDF", "JPG", "PNG"}, {}, {}},
        {{"/x/a.ppt", "/x/b.odp"}, {"PDF", "JPG", "PNG", "PPTX"}, {}, {}},
        {{"/x/budget.numbers"}, sheetTargets, {}, {}},
        {{"/x/budget.numbers", "/x/old.XLS"}, sheetTargets, {}, {}},
        {{"/x/letter.pages"}, {"PDF", "DOCX", "EPUB", "MD", "HTML", "RTF", "TXT", "ODT", "DOC"}, {"PDF", "DOCX", "EPUB", "MD", "HTML", "RTF", "TXT", "ODT", "DOC"}, {}},
        {{"/x/report.pdf"}, pdfTargets, pdfTargets, pdfTargets},
    };
    const struct { std::vector<std::string> libraries; Titles Case::*pick; } installs[] = {
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

TEST_F(MediaToolRows, FfmpegUnlocksItsTools)
{
    struct Case { const char* file; bool ffmpeg; Names titles; };
    const Case cases[] = {
        {"clip.mkv", false, {"Compress", "720p", "Audio", "Mute", "Frame", "GIF", "Metadata", "Zip"}},
        {"clip.mp4", false, {"Compress", "Trim", "720p", "Audio", "Mute", "Frame", "GIF", "Metadata", "Zip"}},
        {"clip.mp4", true, {"Compress", "Trim", "Crop", "Fit 10 MB", "Fit 25 MB", "720p", "Audio", "Mute", "Frame", "GIF", "Metadata", "Zip"}},
        {"song.ogg", false, {"Compress", "Metadata", "Channels", "Zip"}},
        {"song.mp3", true, {"Compress", "Metadata", "Normalize", "Visualize", "Trim", "Channels", "Bleep", "Zip"}},
    };
    for (const Case& c : cases) {
        setenv("VARNOLT_TOOL_DIRS", c.ffmpeg ? "/usr/bin" : dir.path().c_str(), 1);
        EXPECT_EQ(toolTitles({dir / c.file}), c.titles) << c.file;
    }
    unsetenv("VARNOLT_TOOL_DIRS");
}
