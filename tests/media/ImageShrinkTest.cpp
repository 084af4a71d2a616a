#include "ImageSamples.h"

#include "TestSupport.h"
#include "core/Errors.h"
#include "core/Output.h"
#include "media/ImageOps.h"

#include <gtest/gtest.h>

#include <regex>

using namespace ImageSamples;
using TestSupport::TempDir;

TEST(ImageShrink, CompressCapsTheLongerSideAndPicksALossyFormat)
{
    TempDir dir;
    save(solid(6000, 4000, {90, 140, 200}), dir / "wide.jpg");
    const Path small = ImageOps::compress(dir / "wide.jpg");
    EXPECT_EQ(small.filename(), "wide (compressed).jpg");
    const Image written = open(small);
    EXPECT_EQ(written.width(), 4096);
    EXPECT_EQ(written.height(), 2731);

    save(noise(300, 200), dir / "opaque.png");
    save(noise(300, 200, 4), dir / "clear.png");
    EXPECT_EQ(ImageOps::compress(dir / "opaque.png").filename(), "opaque (compressed).jpg");
    EXPECT_EQ(ImageOps::compress(dir / "clear.png").filename(), "clear (compressed).heic");
}

TEST(ImageShrink, FitFindsAFileUnderTheLimitAndNamesTheLimit)
{
    TempDir dir;
    const Path photo = dir / "photo.jpg";
    // Noise at 95 makes a photo of about 3 MB.
    noise(1400, 1000).jpegsave(photo.c_str(), Image::option()->set("Q", 95));
    ASSERT_GT(Output::size(photo), 2'000'000);

    const auto under500 = ImageOps::fit(photo, 500'000);
    ASSERT_TRUE(under500);
    EXPECT_EQ(under500->filename(), "photo (500 KB).jpg");
    EXPECT_LE(Output::size(*under500), 500'000);
    EXPECT_GT(Output::size(*under500), 250'000);  // the quality search used the room

    const auto under2MB = ImageOps::fit(photo, 2'000'000);
    ASSERT_TRUE(under2MB);
    EXPECT_EQ(under2MB->filename(), "photo (2 MB).jpg");
    EXPECT_EQ(open(*under2MB).width(), 1400);

    EXPECT_EQ(ImageOps::fit(photo, 10'000'000), std::nullopt);
    EXPECT_EQ(TestSupport::listFolder(dir.path()), (std::vector<std::string>{"photo (2 MB).jpg", "photo (500 KB).jpg", "photo.jpg"}));
}

TEST(ImageShrink, FitWritesJpgForOpaquePngAndHeicWithAlpha)
{
    TempDir dir;
    save(noise(240, 160), dir / "opaque.png");
    save(noise(240, 160, 4), dir / "clear.png");
    const auto opaque = ImageOps::fit(dir / "opaque.png", 30'000);
    const auto clear = ImageOps::fit(dir / "clear.png", 30'000);
    ASSERT_TRUE(opaque && clear);
    EXPECT_EQ(opaque->filename(), "opaque (30 KB).jpg");
    EXPECT_EQ(clear->filename(), "clear (30 KB).heic");
    EXPECT_LE(Output::size(*clear), 30'000);
    EXPECT_EQ(open(*clear).bands(), 4);
}

TEST(ImageShrink, FitGivesUpOnAnImpossibleLimit)
{
    TempDir dir;
    save(noise(400, 300), dir / "photo.png");
    try {
        ImageOps::fit(dir / "photo.png", 100);
        ADD_FAILURE() << "a photo fitted in 100 bytes";
    } catch (const KError& e) {
        EXPECT_EQ(e.message(), "Couldn't fit this image in the size limit");
    }
    EXPECT_EQ(TestSupport::listFolder(dir.path()), std::vector<std::string>{"photo.png"});
}

TEST(ImagePDF, PagesAreAtMost792PointsAndNeverEnlarged)
{
    TempDir dir;
    save(solid(3000, 2000, {250, 200, 0}), dir / "big.png");
    save(noise(400, 300), dir / "small.png");
    const Path combined = ImageOps::combineToPDF({dir / "big.png", dir / "small.png"});
    EXPECT_EQ(combined.filename(), "big (combined).pdf");
    const std::string pdf = TestSupport::readFile(combined);
    std::vector<std::string> boxes;
    const std::regex box(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])");
    for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), box); it != std::sregex_iterator(); ++it) {
        boxes.push_back(std::to_string(std::lround(std::stod((*it)[1]))) + "x" + std::to_string(std::lround(std::stod((*it)[2]))));
    }
    EXPECT_EQ(boxes, (std::vector<std::string>{"792x528", "400x300"}));

    const Path single = ImageOps::combineToPDF({dir / "small.png"});
    EXPECT_EQ(single.filename(), "small.pdf");
    const Image page = Image::new_from_file(single.c_str());  // libvips renders PDFs through poppler
    EXPECT_EQ(page.width(), 400);
    EXPECT_GT(page.extract_band(0).avg(), 100);
}
