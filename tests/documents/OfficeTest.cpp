#include "FakeOffice.h"
#include "PDFSamples.h"
#include "TestSupport.h"
#include "core/Shell.h"
#include "core/Tools.h"
#include "documents/DocumentOps.h"
#include "documents/Office.h"
#include "documents/Package.h"
#include "documents/SpreadsheetOps.h"

#include <QRegularExpression>
#include <QTextDocument>

#include <thread>

using namespace TestSupport;

namespace {
// Office files of LibreOffice's own making, made once for all tests; names with spaces,
// quotes and a leading "-" on purpose.
class OfficeFiles : public FreshHomeWithFiles {
protected:
    static void SetUpTestSuite()
    {
        if (!Office::isInstalled(Office::App::pages) || !Office::isInstalled(Office::App::numbers) || !Office::isInstalled(Office::App::keynote)) return;
        samples_ = std::make_unique<TempDir>();
        const TempDir& in = *samples_;
        writeFile(in / "-notes \"q\" a.txt", "Hello from Writer\n");
        writeFile(in / "sheet 'one'.csv", "name,count\napple,3\npear,5\napple,3\n");
        std::filesystem::copy_file(Path(VARNOLT_TEST_DATA) / "documents/talk.fodp", in / "-talk 'b'.fodp");
        const std::vector<std::pair<std::string, std::string>> runs = {
            {"-notes \"q\" a.txt", "doc:MS Word 97"}, {"sheet 'one'.csv", "xls:MS Excel 97"}, {"-talk 'b'.fodp", "odp"}, {"-talk 'b'.fodp", "ppt:MS PowerPoint 97"}};
        for (const auto& [name, filter] : runs) {
            Shell::run(*Tools::soffice(), {"-env:UserInstallation=file://" + (in / "profile").string(), "--headless", "--convert-to", filter, "--outdir",
                                           in.path().string(), (in / name).string()});
        }
    }
    void SetUp() override
    {
        FreshHomeWithFiles::SetUp();
        if (!samples_) GTEST_SKIP() << "LibreOffice Writer, Calc or Impress is not installed";
    }
    // A sample, copied into the test's own folder.
    Path sample(const std::string& name)
    {
        std::filesystem::copy_file(*samples_ / name, dir / name);
        return dir / name;
    }
    static inline std::unique_ptr<TempDir> samples_;  // removed when the program ends
};
}

TEST_F(OfficeFiles, ReadsWordAndExcelFiles)
{
    EXPECT_EQ(DocumentOps::read(sample("-notes \"q\" a.doc"))->toPlainText().toStdString(), "Hello from Writer");
    const Path xls = sample("sheet 'one'.xls");
    EXPECT_EQ(SpreadsheetOps::read(xls), (Table{{"name", "count"}, {"apple", "3"}, {"pear", "5"}, {"apple", "3"}}));
    const SpreadsheetOps::Deduped deduped = SpreadsheetOps::dedupe(xls);
    EXPECT_EQ(deduped.removed, 1u);
    EXPECT_EQ(deduped.output.filename(), "sheet 'one' (deduplicated).xlsx");
}

// Two jobs at once (each LibreOffice start has a profile of its own), one of them a batch.
TEST_F(OfficeFiles, SlidesToEveryTarget)
{
    const Path odp = sample("-talk 'b'.odp"), ppt = sample("-talk 'b'.ppt");
    Paths pdfs;
    std::string failure;
    std::thread batch([&] { failure = errorOf([&] { pdfs = Office::slidesConvertAll({odp, ppt}, "pdf"); }); });
    const Path pictures = Office::slidesConvert(odp, "png");
    batch.join();
    ASSERT_EQ(failure, "no error");
    EXPECT_EQ(pictures.filename(), "-talk 'b' (PNG)");
    EXPECT_EQ(listFolder(pictures), (Names{"-talk 'b'-01.png", "-talk 'b'-02.png"}));
    EXPECT_EQ(pdfs, (Paths{dir / "-talk 'b'.pdf", dir / "-talk 'b' 2.pdf"}));
    for (const Path& pdf : pdfs) EXPECT_EQ(PDFSamples::pdfinfo(pdf).pages, 2) << pdf;
    EXPECT_TRUE(Package::entryNames(Office::slidesConvert(ppt, "pptx")).count("ppt/presentation.xml"));
    EXPECT_EQ(errorOf([&] { Office::slidesConvert(odp, "gif"); }), "Can't convert slides to .gif");
}

// Whatever goes wrong, the user reads why and nothing is left beside the source or in the
// temporary folder.
TEST_F(OfficeFiles, FailuresLeaveNothing)
{
    const Path broken = file("-broken 'x'.pptx", std::string("garbage\0\x01", 9));
    const PrivateTemp temp;
    {
        // A soffice that claims the conversion and writes nothing.
        const FakeOffice silent({"libsdlo.so"}, "for f; do last=\"$f\"; done\necho \"convert $last -> nowhere\"\n");
        EXPECT_EQ(errorOf([&] { Office::slidesConvert(broken, "pdf"); }), "LibreOffice didn't produce a file");
    }
    EXPECT_EQ(errorOf([&] { Office::slidesConvert(broken, "pdf"); }), "LibreOffice couldn't open -broken 'x'.pptx — it may be damaged or password-protected.");
    EXPECT_EQ(listFolder(dir.path()), Names{"-broken 'x'.pptx"});
    EXPECT_EQ(listFolder(temp.dir.path()), Names{});
}

namespace {
using PPTX = FreshHomeWithFiles;

// The slide size (cx, cy) of the deck written for a one-page PDF of this page.
std::pair<long long, long long> slideSize(const Path& folder, const std::string& box, int rotate)
{
    PDFBuilder pdf;
    pdf.page({PDFSamples::text(72, 72, "Page"), box, rotate});
    const Path deck = Office::pdfToPPTX(pdf.write(folder / ("page " + std::to_string(rotate) + box + ".pdf")));
    static const QRegularExpression size("<p:sldSz cx=\"(\\d+)\" cy=\"(\\d+)\"");
    const auto match = size.match(QString::fromStdString(Package::read(deck, "ppt/presentation.xml")));
    return {match.captured(1).toLongLong(), match.captured(2).toLongLong()};
}
}

TEST_F(PPTX, SlideSizeFollowsTheFirstPage)
{
    EXPECT_EQ(slideSize(dir.path(), "0 0 612 792", 0), (std::pair(12192000LL, 2485LL * 6350)));
    EXPECT_EQ(slideSize(dir.path(), "0 0 612 792", 90), (std::pair(12192000LL, 1484LL * 6350)));
    // Far taller than PowerPoint's 56 inches: brought inside them, aspect kept.
    EXPECT_EQ(slideSize(dir.path(), "0 0 100 5000", 0), (std::pair(1024128LL, 51206400LL)));
}

// Every part is well-formed and declared, each page is one picture kept in proportion, and
// LibreOffice reads the deck back with the same pages.
TEST_F(PPTX, DeckIsSoundPresentationML)
{
    PDFBuilder pdf;
    pdf.page({PDFSamples::text(72, 700, "One")});
    pdf.page({PDFSamples::text(72, 700, "Two")});
    pdf.page({PDFSamples::text(72, 500, "Three, landscape"), "0 0 792 612"});
    const Path deck = Office::pdfToPPTX(pdf.write(dir / "three pages.pdf"));

    const std::string types = Package::read(deck, "[Content_Types].xml");
    std::vector<std::string> xml;
    for (const std::string& part : Package::entryNames(deck)) {
        if (part.ends_with("/")) continue;
        const std::string ext = part.substr(part.rfind('.') + 1);
        if (ext == "xml" && part != "[Content_Types].xml") {
            EXPECT_NE(types.find("PartName=\"/" + part + "\""), std::string::npos) << part;
        } else if (part != "[Content_Types].xml") {
            EXPECT_NE(types.find("Extension=\"" + ext + "\""), std::string::npos) << part;
        }
        if (ext == "xml" || ext == "rels") xml.push_back(part);
    }
    Shell::run("/usr/bin/unzip", {"-q", deck.string(), "-d", (dir / "parts").string()});
    std::vector<std::string> lint = {"--noout"};
    for (const std::string& part : xml) lint.push_back((dir / "parts" / part).string());
    EXPECT_NO_THROW(Shell::run("/usr/bin/xmllint", lint));

    static const QRegularExpression picture("<a:ext cx=\"(\\d+)\" cy=\"(\\d+)\"/></a:xfrm><a:prstGeom");
    const auto shown = picture.match(QString::fromStdString(Package::read(deck, "ppt/slides/slide3.xml")));
    EXPECT_NEAR(shown.captured(1).toDouble() / shown.captured(2).toDouble(), 792.0 / 612, 0.01);

    if (!Office::isInstalled(Office::App::keynote)) GTEST_SKIP() << "LibreOffice Impress is not installed";
    const PDFSamples::Info back = PDFSamples::pdfinfo(Office::slidesConvert(deck, "pdf"));
    ASSERT_EQ(back.pages, 3);
    double width = 0, height = 0;
    ASSERT_EQ(std::sscanf(back.sizes.front().c_str(), "%lf x %lf", &width, &height), 2);
    EXPECT_NEAR(height / width, 792.0 / 612, 0.01);
}
