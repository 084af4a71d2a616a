#include "PDFSamples.h"
#include "TestSupport.h"

#include "catalog/Catalog.h"

#include <QString>

using namespace TestSupport;

using PDFRows = FreshHomeWithFiles;

TEST_F(PDFRows, PagesOfferTablesImagesAndThePageTools)
{
    EXPECT_EQ(titles(Catalog::convertOptions(FileKind::pdf, {"/x/a.pdf"})), (Names{"DOCX", "XLSX", "JPG", "PNG", "EPUB", "TXT", "MD"}));
    EXPECT_EQ(titles(Catalog::toolOptions(FileKind::pdf, {"/x/a.pdf"})), (Names{"Compress", "Split", "Rotate", "Text", "Zip"}));
    EXPECT_EQ(titles(Catalog::toolOptions(FileKind::pdf, {"/x/a.pdf", "/x/b.PDF"})), (Names{"Compress", "Merge", "Split", "Rotate", "Text", "Zip"}));
}

TEST_F(PDFRows, CommandLineRunsEveryPDFOption)
{
    PDFBuilder a, b;
    a.textPages({"first", "second"});
    a.write(dir / "-a.pdf");
    b.textPages({"third"});
    b.write(dir / "b.pdf");
    const std::vector<std::pair<std::vector<std::string>, std::string>> runs = {
        {{"tools", "merge", "./-a.pdf", "b.pdf"}, "-a (merged).pdf"},
        {{"tools", "split", "./-a.pdf"}, "-a (pages)"},
        {{"tools", "rotate", "b.pdf"}, "b (rotated).pdf"},
        {{"tools", "compress", "b.pdf"}, "b (compressed).pdf"},
        {{"convert", "png", "b.pdf"}, "b.png"},
        {{"convert", "jpg", "./-a.pdf"}, "-a (JPG)"},
        {{"convert", "xlsx", "b.pdf"}, "b.xlsx"},
        {{"convert", "txt", "./-a.pdf"}, "-a.txt"},
        {{"convert", "docx", "b.pdf"}, "b.docx"},
    };
    for (const auto& [args, output] : runs) {
        std::vector<std::string> command = {"--run"};
        command.insert(command.end(), args.begin(), args.end());
        const CommandResult run = runVarnolt(command, {}, dir.path());
        EXPECT_EQ(run.status, 0) << run.out << run.err;
        EXPECT_EQ(run.out, (dir / output).string() + "\n");
    }
    EXPECT_EQ(QString::fromStdString(PDFSamples::pdftotext(dir / "-a (merged).pdf")).simplified().toStdString(), "first second third");
    EXPECT_EQ(readFile(dir / "-a.txt"), "first\n\nsecond");
    // The recognised text is printed too: a command line has no clipboard that outlives it.
    const CommandResult text = runVarnolt({"--run", "tools", "text", "b.pdf"}, {}, dir.path());
    EXPECT_EQ(text.out, (dir / "b (text).txt").string() + "\n1 word copied to the clipboard\nthird\n") << text.err;
    const CommandResult compact = runVarnolt({"--run", "tools", "compress", "b (compressed).pdf"}, {}, dir.path());
    EXPECT_EQ(compact.status, 1);
    EXPECT_EQ(compact.out, "ERROR: This PDF is already as small as it can get\n");
}
