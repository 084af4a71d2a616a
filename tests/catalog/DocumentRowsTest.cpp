#include "TestSupport.h"
#include "catalog/Catalog.h"
#include "core/Tools.h"
#include "documents/DocumentOps.h"

#include <QTextDocument>

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {
using Titles = std::vector<std::string>;
using DocumentRows = FreshHomeWithFiles;

Titles convertTitles(const Paths& files)
{
    return titles(Catalog::convertOptions(Catalog::kindOf(files), files));
}

Titles toolTitles(const Paths& files)
{
    return titles(Catalog::toolOptions(Catalog::kindOf(files), files));
}

// The list with DOC at its end only where LibreOffice can write it.
Titles withDOC(Titles list)
{
    if (Tools::soffice()) list.push_back("DOC");
    return list;
}
}

TEST_F(DocumentRows, TargetsPerSelection)
{
    EXPECT_EQ(convertTitles({"/x/notes.md"}), withDOC({"PDF", "DOCX", "EPUB", "HTML", "RTF", "TXT", "ODT"}));
    EXPECT_EQ(convertTitles({"/x/notes.md", "/x/more.markdown"}), withDOC({"PDF", "DOCX", "EPUB", "HTML", "RTF", "TXT", "ODT"}));
    EXPECT_EQ(convertTitles({"/x/page.htm"}), withDOC({"PDF", "DOCX", "EPUB", "MD", "RTF", "TXT", "ODT"}));
    EXPECT_EQ(convertTitles({"/x/a.docx", "/x/b.rtf"}), withDOC({"PDF", "EPUB", "MD", "HTML", "TXT", "ODT"}));
    EXPECT_EQ(convertTitles({"/x/old.doc"}), (Tools::soffice() ? Titles{"PDF", "DOCX", "EPUB", "MD", "HTML", "RTF", "TXT", "ODT"} : Titles{}));
    EXPECT_EQ(convertTitles({"/x/story.epub"}), (Titles{"PDF", "DOCX", "MD", "HTML", "RTF", "TXT"}));
    EXPECT_EQ(convertTitles({"/x/data.csv"}), (Titles{"XLSX", "TSV", "ODS", "PDF", "JSON", "HTML", "MD"}));
    EXPECT_EQ(toolTitles({"/x/essay.odt"}), (Titles{"Words", "Zip"}));
    EXPECT_EQ(toolTitles({"/x/story.epub"}), (Titles{"Words", "Zip"}));
    EXPECT_EQ(toolTitles({"/x/a.odt", "/x/b.odt"}), Titles{"Zip"});
}

TEST_F(DocumentRows, CommandLineConvertsDocuments)
{
    file("notes.md", "# Notes\n\nSome **bold** words.\n\n- one\n- two\n");
    file("data.csv", "name,count\napple,3\n");
    const auto run = [&](std::vector<std::string> args) {
        args.back() = (dir / args.back()).string();
        const CommandResult result = runVarnolt(args);
        EXPECT_EQ(result.status, 0) << result.out << result.err;
        return result.out;
    };
    EXPECT_EQ(run({"--run", "convert", "docx", "notes.md"}), (dir / "notes.docx").string() + "\n");
    std::filesystem::rename(dir / "notes.docx", dir / "report.docx");
    EXPECT_EQ(run({"--run", "convert", "md", "report.docx"}), (dir / "report.md").string() + "\n");
    EXPECT_EQ(readFile(dir / "report.md"), "# Notes\n\nSome **bold** words.\n\n- one\n- two\n");
    run({"--run", "convert", "rtf", "report.md"});
    std::filesystem::rename(dir / "report.rtf", dir / "letter.rtf");
    EXPECT_EQ(run({"--run", "convert", "pdf", "letter.rtf"}), (dir / "letter.pdf").string() + "\n");
    EXPECT_EQ(run({"--run", "convert", "epub", "report.docx"}), (dir / "report.epub").string() + "\n");
    EXPECT_EQ(run({"--run", "convert", "docx", "report.epub"}), (dir / "report 2.docx").string() + "\n");
    EXPECT_EQ(DocumentOps::read(dir / "report 2.docx")->toPlainText().toStdString(), "Notes\nSome bold words.\none\ntwo");
    run({"--run", "convert", "odt", "report.md"});
    EXPECT_EQ(run({"--run", "tools", "words", "report.odt"}), "6 words · 25 characters\n");
    EXPECT_EQ(run({"--run", "convert", "pdf", "data.csv"}), (dir / "data.pdf").string() + "\n");
}
