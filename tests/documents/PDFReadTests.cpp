#include "PDFSamples.h"
#include "TestSupport.h"

#include "core/Progress.h"
#include "documents/PDFFiles.h"
#include "documents/PDFOps.h"
#include "documents/SpreadsheetOps.h"

#include <poppler/qt6/poppler-qt6.h>

#include <QTextBlock>
#include <QTextDocument>

using namespace TestSupport;
using namespace PDFSamples;

namespace {
using PDFReadTest = FreshHomeWithFiles;

std::pair<int, int> pixelSize(const Path& pdf, int pageIndex, double dpi)
{
    const auto document = PDFOps::open(pdf);
    const std::unique_ptr<Poppler::Page> page(document->page(pageIndex));
    const ImageOps::Image image = PDFOps::render(*page, dpi);
    return {image.width(), image.height()};
}
}

TEST_F(PDFReadTest, RenderSizesFollowTheBoxAndRotation)
{
    PDFBuilder pages;
    pages.page({text(72, 700, "A4"), "0 0 595 842"});
    pages.page({text(72, 700, "A4 turned"), "0 0 595 842", 90});
    pages.page({text(72, 700, "tiny"), "0 0 0.1 0.1"});
    pages.page({text(72, 700, "huge"), "0 0 14400 14400"});
    const Path pdf = pages.write(dir / "sizes.pdf");
    EXPECT_EQ(pixelSize(pdf, 0, 300), (std::pair{2479, 3508}));
    EXPECT_EQ(pixelSize(pdf, 1, 300), (std::pair{3508, 2479}));
    EXPECT_EQ(pixelSize(pdf, 2, 300), (std::pair{1, 1}));
    EXPECT_EQ(pixelSize(pdf, 3, 9), (std::pair{1800, 1800}));  // at 300 dpi too large: see the images test

    // A page tree that turns every page by 270 degrees.
    PDFBuilder turned;
    turned.treeKeys = "/Rotate 270 /MediaBox [0 0 200 100]";
    turned.page({text(10, 10, "x"), ""});
    EXPECT_EQ(pixelSize(turned.write(dir / "turned.pdf"), 0, 72), (std::pair{100, 200}));
}

TEST_F(PDFReadTest, TransparentContentLandsOnOpaqueWhite)
{
    PDFBuilder pages;
    const int halfAlpha = pages.add("<< /Type /ExtGState /ca 0.5 >>");
    pages.page({"/GS1 gs 0 0 1 rg 0 0 50 100 re f", "0 0 100 100", 0, "/ExtGState << /GS1 " + ref(halfAlpha) + " >>"});
    const auto document = PDFOps::open(pages.write(dir / "glass.pdf"));
    const std::unique_ptr<Poppler::Page> page(document->page(0));
    const ImageOps::Image image = PDFOps::render(*page, 72);
    ASSERT_EQ(image.bands(), 3);
    EXPECT_EQ(image.getpoint(75, 50), (std::vector<double>{255, 255, 255}));
    const std::vector<double> tinted = image.getpoint(25, 50);
    EXPECT_NEAR(tinted[0], 127, 2);
    EXPECT_NEAR(tinted[2], 255, 1);
}

TEST_F(PDFReadTest, ImagesAreOneFileOrAFolderOfNumberedPages)
{
    PDFBuilder one;
    one.textPages({"only"});
    const Path single = PDFOps::toImages(one.write(dir / "scan.pdf"), "png", 300);
    EXPECT_EQ(single, dir / "scan.png");
    EXPECT_EQ(ImageOps::load(single).image.width(), 2550);

    PDFBuilder three;
    three.textPages({"first", "second", "third"});
    std::vector<double> progress;
    Progress::Scope scope([&](double fraction) { progress.push_back(fraction); });
    const Path folder = PDFOps::toImages(three.write(dir / "book.pdf"), "jpg", 30);
    EXPECT_EQ(folder, dir / "book (JPG)");
    EXPECT_EQ(listFolder(folder), (Names{"book-01.jpg", "book-02.jpg", "book-03.jpg"}));
    EXPECT_EQ(progress.size(), 3u);
    EXPECT_EQ(progress.back(), 1.0);

    // A page too large to draw fails the whole run and leaves no folder behind.
    PDFBuilder poster;
    poster.textPages({"fine"});
    poster.page({text(10, 10, "poster"), "0 0 14400 14400"});
    EXPECT_EQ(errorOf([&] { PDFOps::toImages(poster.write(dir / "poster.pdf"), "png", 300); }), "Page too large");
    EXPECT_EQ(listFolder(dir.path()), (Names{"book (JPG)", "book.pdf", "poster.pdf", "scan.pdf", "scan.png"}));
}

TEST_F(PDFReadTest, PageNumbersArePaddedToTheCount)
{
    const std::vector<std::tuple<int, int, std::string>> cases = {
        {1, 2, "b-01.png"}, {9, 9, "b-09.png"}, {7, 120, "b-007.png"}, {120, 120, "b-120.png"}, {3, 10000, "b-00003.png"}};
    for (const auto& [page, count, name] : cases) EXPECT_EQ(PDFFiles::pageName("/x/b.pdf", page, count, "png"), name);
    EXPECT_EQ(PDFFiles::pageName("/x/old.tar.pdf", 1, 2, "pdf"), "old-01.pdf");
}

TEST_F(PDFReadTest, TextKeepsPageOrderAndFonts)
{
    PDFBuilder pages;
    // "Café" in WinAnsi: styles count characters, not bytes.
    pages.page({text(72, 700, "Caf\xe9 menu", 24, "F2") + text(72, 650, "Body text", 12)});
    pages.page({""});
    pages.page({text(72, 700, "Second page", 12)});
    const std::unique_ptr<QTextDocument> styled = PDFOps::attributedText(pages.write(dir / "styled.pdf"));
    EXPECT_EQ(styled->toPlainText().toStdString(), "Caf\u00e9 menu\nBody text\n\nSecond page");
    EXPECT_EQ(styled->begin().begin().fragment().text(), "Caf\u00e9 menu");
    EXPECT_EQ(styled->begin().next().begin().fragment().text(), "Body text");
    const QTextCharFormat heading = styled->begin().begin().fragment().charFormat();
    EXPECT_EQ(heading.fontWeight(), QFont::Bold);
    EXPECT_EQ(heading.fontPointSize(), 24);
    EXPECT_EQ(heading.fontFamilies().toStringList(), QStringList{"Helvetica"});
    const QTextCharFormat body = styled->begin().next().begin().fragment().charFormat();
    EXPECT_EQ(body.fontWeight(), QFont::Normal);
    EXPECT_EQ(body.fontPointSize(), 12);

    PDFBuilder blank;
    blank.page({""});
    EXPECT_TRUE(PDFOps::attributedText(blank.write(dir / "blank.pdf"))->isEmpty());
}

TEST_F(PDFReadTest, TablesSplitAtRunsOfSpacesOnly)
{
    PDFBuilder pages;
    const auto row = [](double y, const std::vector<std::string>& cells) {
        std::string content;
        for (std::size_t i = 0; i < cells.size(); ++i) content += text(72 + 150 * i, y, cells[i], 12);
        return content;
    };
    pages.page({row(700, {"City", "Country", "People"}) + row(680, {"New York", "United States", "8.3"}) + row(660, {"Paris", "France", "2.1"})});
    pages.page({text(72, 700, "Qty    Item      Price", 12) + text(72, 680, "Total of two", 12)});
    const Path table = PDFOps::toSpreadsheet(pages.write(dir / "cities.pdf"), "csv");
    EXPECT_EQ(table, dir / "cities.csv");
    EXPECT_EQ(SpreadsheetOps::read(table),
              (Table{{"City", "Country", "People"}, {"New York", "United States", "8.3"}, {"Paris", "France", "2.1"}, {"Qty", "Item", "Price"},
                     {"Total of two"}}));

    // A scanned page: only a picture, no text layer.
    PDFBuilder scan;
    const int picture = scan.addStream("/Type /XObject /Subtype /Image /Width 2 /Height 2 /ColorSpace /DeviceGray /BitsPerComponent 8", "\x10\x80\xff\x00");
    scan.page({"q 200 0 0 200 72 400 cm /Im1 Do Q", "0 0 612 792", 0, "/XObject << /Im1 " + ref(picture) + " >>"});
    EXPECT_EQ(errorOf([&] { PDFOps::toSpreadsheet(scan.write(dir / "scan.pdf"), "xlsx"); }), "No text found in this PDF (is it scanned?)");
    EXPECT_FALSE(std::filesystem::exists(dir / "scan.xlsx"));
}
