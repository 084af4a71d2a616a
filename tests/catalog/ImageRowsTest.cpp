#include "ImageSamples.h"

#include "TestSupport.h"
#include "core/Output.h"
#include "catalog/Catalog.h"
#include "catalog/CatalogFrame.h"
#include "media/ImageOps.h"

using namespace ImageSamples;
using namespace TestSupport;

namespace {
// The image targets this machine can write, without the one named.
Names writableTargetsBut(const std::string& left)
{
    Names names;
    for (const std::string ext : {"png", "jpg", "heic", "webp", "avif", "tiff", "gif", "bmp", "pdf", "ico"}) {
        if (ext != left && ImageOps::canWrite(ext)) names.push_back(upperAscii(ext));
    }
    return names;
}
}

class ImageRows : public FreshHome {};

TEST_F(ImageRows, PagesLeaveOutTheSelectionsOwnFormatAndOfferTheImageTools)
{
    EXPECT_EQ(titles(Catalog::convertOptions(FileKind::image, {"/a/cat.png", "/a/dog.PNG"})), writableTargetsBut("png"));
    EXPECT_EQ(titles(Catalog::convertOptions(FileKind::image, {"/a/photo.tif"})), writableTargetsBut("tiff"));
    EXPECT_EQ(titles(Catalog::convertOptions(FileKind::image, {"/a/photo.jpeg"})), writableTargetsBut("jpg"));

    // Without the subject model there is no "Remove BG".
    const Names tools = {"Compress", "Text", "Fit 1 MB", "Resize", "Rotate", "Flip", "Grayscale", "Metadata"};
    Names one = tools, three = tools;
    one.push_back("PDF");
    three.push_back("Combine");
    for (Names* names : {&one, &three}) names->push_back("Zip");
    EXPECT_EQ(titles(Catalog::toolOptions(FileKind::image, {"/a/cat.png"})), one);
    EXPECT_EQ(titles(Catalog::toolOptions(FileKind::image, {"/a/1.png", "/a/2.png", "/a/3.png"})), three);
}

TEST_F(ImageRows, CommandLineConvertsFitsAndLists)
{
    TempDir dir;
    save(noise(120, 80), dir / "a.jpg");
    save(noise(90, 60), dir / "-b.jpg");
    auto result = runVarnolt({"--run", "convert", "webp", "a.jpg", "-b.jpg"}, {}, dir.path());
    ASSERT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_EQ(result.out, (dir / "a.webp").string() + "\n" + (dir / "-b.webp").string() + "\n");

    save(noise(1000, 800), dir / "big.png");
    result = runVarnolt({"--run", "tools", "fit 1 mb", "big.png"}, {}, dir.path());
    ASSERT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_EQ(result.out, (dir / "big (1 MB).jpg").string() + "\n");
    EXPECT_LE(Output::size(dir / "big (1 MB).jpg"), 1'000'000);
    result = runVarnolt({"--run", "tools", "fit 1 mb", "a.jpg"}, {}, dir.path());
    EXPECT_EQ(result.out, "Already under 1 MB — nothing to do\n");

    // Tools on two files: each is edited by itself; the PDF takes both.
    result = runVarnolt({"--run", "tools", "rotate", "a.jpg", "-b.jpg"}, {}, dir.path());
    EXPECT_EQ(result.out, (dir / "a (rotated).jpg").string() + "\n" + (dir / "-b (rotated).jpg").string() + "\n");
    result = runVarnolt({"--run", "tools", "combine", "a.jpg", "-b.jpg"}, {}, dir.path());
    EXPECT_EQ(result.out, (dir / "a (combined).pdf").string() + "\n");

    result = runVarnolt({"--list", "photo.heic"}, {}, dir.path());
    // The seeded "Web" preset comes first.
    std::string expected = "Web";
    for (const std::string& title : writableTargetsBut("heic")) expected += ", " + title;
    EXPECT_NE(result.out.find("Convert: " + expected + "\n"), std::string::npos) << result.out;
}

// Each picture's text is written beside it; all of it, a blank line between files, is what
// the clipboard gets, and the message counts its words.
TEST_F(ImageRows, TextCollectsEveryFilesTextForTheClipboard)
{
    TempDir dir;
    save(printedText({"Alpha one"}, 40), dir / "a.png");
    save(printedText({"Bravo two,", "and three"}, 40), dir / "b.png");
    const WheelOption text = option(Catalog::toolOptions(FileKind::image, {dir / "a.png"}), "Text");
    const OptionResult result = text.run({dir / "a.png", dir / "b.png"});
    EXPECT_EQ(result.outputs, (Paths{dir / "a (text).txt", dir / "b (text).txt"}));
    EXPECT_EQ(result.clipboard, "Alpha one\n\nBravo two,\nand three");
    EXPECT_EQ(result.message, "6 words copied to the clipboard");
}

TEST(WordCount, CountsWordsNotPunctuationOrSpace)
{
    const std::vector<std::pair<std::string, size_t>> cases = {
        {"", 0}, {" \n\n ", 0}, {"— , .", 0}, {"one", 1}, {"don't stop", 2}, {"3.14 is pi", 3}, {"naïve café", 2},
    };
    for (const auto& [text, words] : cases) EXPECT_EQ(Catalog::wordCount(text), words) << text;
}
