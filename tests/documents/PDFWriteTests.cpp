#include "ImageSamples.h"
#include "PDFSamples.h"
#include "TestSupport.h"

#include "documents/PDFOps.h"

#include <poppler/qt6/poppler-qt6.h>

#include <QTextDocument>

using namespace TestSupport;
using namespace PDFSamples;

namespace {
class PDFWriteTest : public FreshHomeWithFiles {
protected:
    // Pages "<name>1"… with one line of text each.
    Path textPDF(const std::string& name, int pages, const std::string& treeKeys = {})
    {
        PDFBuilder builder;
        builder.treeKeys = treeKeys;
        for (int i = 1; i <= pages; ++i) builder.page({text(72, 700, name + std::to_string(i)), treeKeys.empty() ? "0 0 612 792" : ""});
        return builder.write(dir / (name + ".pdf"));
    }
    Path encrypted(const Path& source, const std::string& user, const std::string& name)
    {
        const Path out = dir / name;
        EXPECT_EQ(runProgram("qpdf", {"--encrypt", user, "owner", "256", "--print=none", "--", source.string(), out.string()}).status, 0);
        return out;
    }
};

// Grain in every band: a JPEG large for its pixels, as photos are.
std::string photoJPEG(int width, int height) { return ImageSamples::writtenJPEG(ImageSamples::noise(width, height)); }

std::string words(const std::string& text)
{
    return QString::fromStdString(text).simplified().toStdString();
}

// A page that draws image Im<n> over a width x height inch area, with a line of text.
PDFBuilder::Page picturePage(int image, double inchesWide, double inchesHigh)
{
    char placement[96];
    std::snprintf(placement, sizeof placement, "q %g 0 0 %g 36 36 cm /Im%d Do Q\n", inchesWide * 72, inchesHigh * 72, image);
    return {placement + text(36, 20, "Photo " + std::to_string(image), 10), "0 0 612 792"};
}
}

TEST_F(PDFWriteTest, BadSourcesGetTheirMessageFromEveryTool)
{
    const Path plain = textPDF("plain", 2);
    const std::string bytes = readFile(plain);
    writeFile(dir / "garbage.pdf", "this is not a PDF at all");
    writeFile(dir / "empty.pdf", "");
    // Every offset of the cross-reference table wrong: recovered. Half a file: lost.
    writeFile(dir / "shifted.pdf", bytes.substr(0, 9) + std::string(300, '%') + "\n" + bytes.substr(9));
    writeFile(dir / "cut.pdf", bytes.substr(0, bytes.size() / 2));
    encrypted(plain, "secret", "locked.pdf");
    encrypted(plain, "", "restricted.pdf");
    PDFBuilder loop;  // a page tree that contains itself
    loop.textPages({"looped"});
    loop.extraKids = "2 0 R";
    loop.write(dir / "loop.pdf");
    PDFBuilder selfDrawing;  // a form that draws itself
    const int form = selfDrawing.addStream("/Type /XObject /Subtype /Form /BBox [0 0 99 99] /Resources << /XObject << /Fm1 3 0 R >> >>", "/Fm1 Do");
    selfDrawing.page({"/Fm1 Do " + text(72, 700, "drawn"), "0 0 612 792", 0, "/XObject << /Fm1 " + ref(form) + " >>"});
    selfDrawing.write(dir / "self.pdf");
    std::filesystem::remove(plain);

    using Run = std::function<void(const Path&)>;
    const std::vector<Run> tools = {
        [](const Path& p) { PDFOps::open(p); },                   [](const Path& p) { PDFOps::attributedText(p); },
        [](const Path& p) { PDFOps::toImages(p, "png", 10); },    [](const Path& p) { PDFOps::toSpreadsheet(p, "csv"); },
        [](const Path& p) { PDFOps::compress(p); },               [](const Path& p) { PDFOps::merge({p, p}); },
        [](const Path& p) { PDFOps::split(p); },                  [](const Path& p) { PDFOps::rotate(p); },
    };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"garbage.pdf", "Couldn't open garbage.pdf"}, {"empty.pdf", "Couldn't open empty.pdf"}, {"missing.pdf", "Couldn't open missing.pdf"},
        {"locked.pdf", "locked.pdf is password-protected"}, {"cut.pdf", "Couldn't open cut.pdf"},
        {"shifted.pdf", "no error"}, {"restricted.pdf", "no error"}, {"self.pdf", "no error"},
    };
    for (const auto& [name, message] : cases) {
        for (std::size_t tool = 0; tool < tools.size(); ++tool) {
            const std::string error = errorOf([&] { tools[tool](dir / name); });
            // Compressing a file that is already compact has its own message.
            if (tool == 4 && error == "This PDF is already as small as it can get") continue;
            EXPECT_EQ(error, message) << name << ", tool " << tool;
        }
    }
    // The looping tree never hangs or crashes: each tool either works or cannot open it.
    for (const Run& tool : tools) {
        const std::string error = errorOf([&] { tool(dir / "loop.pdf"); });
        EXPECT_TRUE(error == "no error" || error == "Couldn't open loop.pdf") << error;
    }
    EXPECT_EQ(PDFSamples::pdfinfo(PDFOps::rotate(dir / "restricted.pdf")).rotations, (std::vector<int>{90, 90}));
    EXPECT_EQ(words(pdftotext(PDFOps::rotate(dir / "shifted.pdf"))), "plain1 plain2");
}

TEST_F(PDFWriteTest, MergeKeepsOrderSizesRotationsOutlineAndLinks)
{
    PDFBuilder a;
    a.treeKeys = "/Rotate 90 /MediaBox [0 0 612 792]";  // inherited by both pages
    const int outlines = a.add("<< /Type /Outlines /First 4 0 R /Last 4 0 R /Count 1 >>");
    a.add("<< /Title (Chapter two) /Parent " + ref(outlines) + " /Dest [{page 2} /Fit] >>");
    const int link = a.add("<< /Type /Annot /Subtype /Link /Rect [72 600 300 650] /Border [0 0 0] /Dest [{page 2} /Fit] >>");
    a.catalogKeys = "/Outlines " + ref(outlines);
    a.page({text(72, 700, "A1"), "", 0, "", "/Annots [" + ref(link) + "]"});
    a.page({text(72, 700, "A2"), ""});
    a.write(dir / "a.pdf");
    PDFBuilder b;
    b.page({text(72, 700, "B1"), "0 0 595 842", 270});
    b.write(dir / "b.pdf");

    const Path merged = PDFOps::merge({dir / "a.pdf", dir / "b.pdf"});
    EXPECT_EQ(merged, dir / "a (merged).pdf");
    EXPECT_TRUE(qpdfChecks(merged));
    const Info info = pdfinfo(merged);
    EXPECT_EQ(info.sizes, (std::vector<std::string>{"612 x 792", "612 x 792", "595 x 842"}));
    EXPECT_EQ(info.rotations, (std::vector<int>{90, 90, 270}));
    EXPECT_EQ(words(pdftotext(merged)), "A1 A2 B1");
    const auto document = PDFOps::open(merged);
    ASSERT_EQ(document->outline().size(), 1);
    EXPECT_EQ(document->outline()[0].name(), "Chapter two");

    // Reversed, the copied link still leads to the copy of its target page.
    const Path reversed = PDFOps::merge({dir / "b.pdf", dir / "a.pdf"});
    EXPECT_EQ(reversed, dir / "b (merged).pdf");
    EXPECT_EQ(words(pdftotext(reversed)), "B1 A1 A2");
    const auto reread = PDFOps::open(reversed);
    const std::unique_ptr<Poppler::Page> second(reread->page(1));
    ASSERT_EQ(second->links().size(), 1u);
    ASSERT_EQ(second->links()[0]->linkType(), Poppler::Link::Goto);
    EXPECT_EQ(static_cast<Poppler::LinkGoto&>(*second->links()[0]).destination().pageNumber(), 3);

    encrypted(dir / "b.pdf", "secret", "locked.pdf");
    EXPECT_EQ(errorOf([&] { PDFOps::merge({dir / "a.pdf", dir / "locked.pdf"}); }), "locked.pdf is password-protected");
    EXPECT_EQ(listFolder(dir.path()), (Names{"a (merged).pdf", "a.pdf", "b (merged).pdf", "b.pdf", "locked.pdf"}));
}

TEST_F(PDFWriteTest, SplitGivesOnePageFilesWithOnlyTheirOwnResources)
{
    const Path book = textPDF("book", 3, "/Rotate 90 /MediaBox [0 0 600 800]");
    const Path folder = PDFOps::split(book);
    EXPECT_EQ(folder, dir / "book (pages)");
    ASSERT_EQ(listFolder(folder), (Names{"book-01.pdf", "book-02.pdf", "book-03.pdf"}));
    for (int i = 1; i <= 3; ++i) {
        const Path page = folder / ("book-0" + std::to_string(i) + ".pdf");
        EXPECT_TRUE(qpdfChecks(page));
        const Info info = pdfinfo(page);
        EXPECT_EQ(info.sizes, std::vector<std::string>{"600 x 800"});
        EXPECT_EQ(info.rotations, std::vector<int>{90});
        EXPECT_EQ(words(pdftotext(page)), "book" + std::to_string(i));
    }

    // Pages that share one resource dictionary naming every photo: each page file carries
    // only the photo it shows.
    PDFBuilder album;
    const std::string photo = photoJPEG(400, 300);
    std::string images;
    for (int i = 1; i <= 3; ++i) {
        images += "/Im" + std::to_string(i) + " " +
                  ref(album.addStream("/Type /XObject /Subtype /Image /Width 400 /Height 300 /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /DCTDecode", photo)) + " ";
    }
    const int font = album.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    const int shared = album.add("<< /Font << /F1 " + ref(font) + " >> /XObject << " + images + ">> >>");
    for (int i = 1; i <= 3; ++i) album.page({picturePage(i, 4, 3).content, "0 0 612 792", 0, ref(shared)});
    const Path pages = PDFOps::split(album.write(dir / "album.pdf"));
    for (const std::string& name : listFolder(pages)) {
        EXPECT_LT(std::filesystem::file_size(pages / name), photo.size() * 3 / 2) << name;
        EXPECT_TRUE(qpdfChecks(pages / name));
    }
}

TEST_F(PDFWriteTest, FourRotationsComeBackToTheStartInFourFiles)
{
    PDFBuilder builder;
    builder.page({text(72, 700, "upright")});
    builder.page({text(72, 700, "sideways"), "0 0 612 792", 270});
    Path current = builder.write(dir / "scan.pdf");
    for (const std::vector<int>& rotations : std::vector<std::vector<int>>{{90, 0}, {180, 90}, {270, 180}, {0, 270}}) {
        current = PDFOps::rotate(current);
        EXPECT_TRUE(qpdfChecks(current));
        EXPECT_EQ(pdfinfo(current).rotations, rotations);
        EXPECT_EQ(words(pdftotext(current)), "upright sideways");
    }
    EXPECT_EQ(listFolder(dir.path()), (Names{"scan (rotated) (rotated) (rotated) (rotated).pdf", "scan (rotated) (rotated) (rotated).pdf",
                                             "scan (rotated) (rotated).pdf", "scan (rotated).pdf", "scan.pdf"}));
}

TEST_F(PDFWriteTest, CompressBringsSharpImagesDownTo150DpiOnce)
{
    PDFBuilder builder;
    const std::string photo = photoJPEG(1600, 1200);
    const int jpeg = builder.addStream("/Type /XObject /Subtype /Image /Width 1600 /Height 1200 /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /DCTDecode", photo);
    // Grey samples, zlib-compressed: sharp (500 dpi) on its page.
    QByteArray grey(1000 * 1000, '\0');
    for (int i = 0; i < grey.size(); ++i) grey[i] = char((i % 1000) / 4 + (std::int64_t(i) * 7919 % 13));
    const QByteArray flate = qCompress(grey).mid(4);
    const int sharpGrey = builder.addStream("/Type /XObject /Subtype /Image /Width 1000 /Height 1000 /ColorSpace /DeviceGray /BitsPerComponent 8 /Filter /FlateDecode",
                                            flate.toStdString());
    const int soft = builder.addStream("/Type /XObject /Subtype /Image /Width 300 /Height 200 /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /DCTDecode",
                                       photoJPEG(300, 200));
    const std::string images = "/XObject << /Im1 " + ref(jpeg) + " /Im2 " + ref(sharpGrey) + " /Im3 " + ref(soft) + " >>";
    // The photo at 400 dpi and again at 800 dpi; the grey image at 500 dpi; the small photo at 100 dpi.
    for (auto [image, wide, high] : std::vector<std::tuple<int, double, double>>{{1, 4, 3}, {1, 2, 1.5}, {2, 2, 2}, {3, 3, 2}}) {
        PDFBuilder::Page page = picturePage(image, wide, high);
        page.resources = images;
        builder.page(page);
    }
    const Path source = builder.write(dir / "photos.pdf");

    const Path compressed = PDFOps::compress(source);
    EXPECT_EQ(compressed, dir / "photos (compressed).pdf");
    EXPECT_LT(std::filesystem::file_size(compressed), std::filesystem::file_size(source) / 3);
    EXPECT_TRUE(qpdfChecks(compressed));
    EXPECT_EQ(pdfinfo(compressed).pages, 4);
    EXPECT_EQ(words(pdftotext(compressed)), "Photo 1 Photo 1 Photo 2 Photo 3");
    // pdfimages lists one row per drawing: page, width, height, colour, encoding, x-ppi.
    const std::string list = runProgram("pdfimages", {"-list", compressed.string()}).out;
    std::vector<std::string> rows;
    for (const QString& line : QString::fromStdString(list).split('\n').mid(2)) {
        const QStringList f = line.simplified().split(' ');
        if (f.size() > 12) rows.push_back((f[0] + " " + f[3] + "x" + f[4] + " " + f[5] + " " + f[8] + " " + f[12]).toStdString());
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"1 600x450 rgb jpeg 150", "2 600x450 rgb jpeg 300", "3 300x300 gray jpeg 150", "4 300x200 rgb jpeg 100"}));

    EXPECT_EQ(errorOf([&] { PDFOps::compress(compressed); }), "This PDF is already as small as it can get");
    EXPECT_EQ(listFolder(dir.path()), (Names{"photos (compressed).pdf", "photos.pdf"}));
}

TEST_F(PDFWriteTest, TenThousandPagesAreRotatedAndReadInFull)
{
    const Path book = textPDF("long", 10000);
    const Path rotated = PDFOps::rotate(book);
    const Info info = pdfinfo(rotated);
    EXPECT_EQ(info.pages, 10000);
    EXPECT_EQ(info.rotations.back(), 90);
    const std::string text = PDFOps::attributedText(rotated)->toPlainText().toStdString();
    EXPECT_EQ(text.substr(text.size() - 19), "long9999\n\nlong10000");
}
