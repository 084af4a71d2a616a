#include "ImageSamples.h"
#include "PDFSamples.h"
#include "TestSupport.h"

#include "documents/VisionPDF.h"

using namespace PDFSamples;
using namespace TestSupport;

// A letter whose first page was typed and whose second was scanned: the scan's page holds
// only the spaces a scanner's text layer sometimes leaves, so it is read from its picture.
TEST(VisionPDF, ReadsTextLayersAndRecognisesScannedPages)
{
    TempDir dir;
    PDFBuilder letter;
    const int font = letter.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    letter.page({text(72, 700, "Dear reader"), "0 0 612 792", 0, "/Font << /F1 " + ref(font) + " >>"});
    const ImageSamples::Image scan = ImageSamples::printedText(ImageSamples::pangrams(), 36);
    const std::string jpeg = ImageSamples::writtenJPEG(scan);
    const int picture = letter.addStream("/Type /XObject /Subtype /Image /Width " + std::to_string(scan.width()) + " /Height " +
                                             std::to_string(scan.height()) + " /ColorSpace /DeviceGray /BitsPerComponent 8 /Filter /DCTDecode",
                                         jpeg);
    // The picture across the page's width at its own proportions, then a line of spaces.
    const double high = 540.0 * scan.height() / scan.width();
    letter.page({"q 540 0 0 " + std::to_string(high) + " 36 400 cm /Im1 Do Q " + text(72, 100, "   "), "0 0 612 792", 0,
                 "/Font << /F1 " + ref(font) + " >> /XObject << /Im1 " + ref(picture) + " >>"});
    // A page with nothing on it adds an empty page text.
    letter.page({});

    const auto [output, found] = VisionOps::ocrPDF(letter.write(dir / "letter.pdf"));
    ASSERT_TRUE(found.starts_with("Dear reader\n\n")) << found;
    ASSERT_TRUE(found.ends_with("\n\n")) << found;
    const std::string recognised = found.substr(13, found.size() - 15);
    EXPECT_EQ(recognised.find("\n\n"), std::string::npos) << found;
    EXPECT_GE(ImageSamples::wordsFound(ImageSamples::pangrams(), recognised), 0.95) << found;
    EXPECT_EQ(output.filename(), "letter (text).txt");
    EXPECT_EQ(readFile(output), found);
}

TEST(VisionPDF, EmptyDocumentHasNoTextAndWritesNothing)
{
    TempDir dir;
    PDFBuilder blank;
    blank.page({});
    blank.write(dir / "blank.pdf");
    EXPECT_EQ(errorOf([&] { VisionOps::ocrPDF(dir / "blank.pdf"); }), "No text found in blank.pdf");
    EXPECT_EQ(listFolder(dir.path()), Names{"blank.pdf"});
}
