#include "ImageSamples.h"

#include "TestSupport.h"
#include "media/VisionOps.h"

using namespace ImageSamples;
using namespace TestSupport;

// Small print, body text and a heading; a phone photo lying on its side (upright through its
// EXIF orientation) and a page scanned upside down.
TEST(VisionText, ReadsPrintAtEverySizeAndTurn)
{
    TempDir dir;
    struct Case { int pixels; const char* turn; };
    for (const Case c : {Case{10, ""}, Case{16, ""}, Case{40, ""}, Case{16, "exif"}, Case{16, "upside down"}}) {
        const std::string name = std::to_string(c.pixels) + " " + c.turn;
        Image page = printedText(pangrams(), c.pixels);
        const Path file = dir / (name + ".jpg");
        if (std::string(c.turn) == "exif") {
            // Stored turned a quarter to the left; orientation 6 tells viewers to turn it back.
            page = page.rot(VIPS_ANGLE_D270).copy();
            page.set("orientation", 6);
        } else if (std::string(c.turn) == "upside down") {
            page = page.rot(VIPS_ANGLE_D180);
        }
        page.write_to_file(file.c_str(), Image::option()->set("Q", 95));
        const auto [output, text] = VisionOps::ocrImage(file);
        EXPECT_GE(wordsFound(pangrams(), text), 0.95) << name << ":\n" << text;
        EXPECT_EQ(output.filename(), name + " (text).txt");
        EXPECT_EQ(readFile(output), text);
    }
}

TEST(VisionText, GivesLinesInReadingOrder)
{
    EXPECT_EQ(VisionOps::recognizeText(printedText({"Alpha line", "Bravo line", "Charlie line"}, 24)), "Alpha line\nBravo line\nCharlie line");
}

TEST(VisionText, BlankPhotoHasNoTextAndWritesNothing)
{
    TempDir dir;
    save(noise(640, 480).gaussblur(8), dir / "sky.jpg");
    EXPECT_EQ(errorOf([&] { VisionOps::ocrImage(dir / "sky.jpg"); }), "No text found in sky.jpg");
    EXPECT_EQ(listFolder(dir.path()), Names{"sky.jpg"});
}
