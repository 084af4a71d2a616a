#include "ImageSamples.h"

#include "TestSupport.h"
#include "core/Output.h"
#include "media/ImageOps.h"

#include <regex>

using namespace ImageSamples;
using namespace TestSupport;

TEST(ImageShrink, CompressAndFitPickJpgForOpaqueImagesAndHeicForAlpha)
{
    TempDir dir;
    save(solid(4500, 3000, {90, 140, 200}), dir / "wide.jpg");
    const Image capped = open(ImageOps::compress(dir / "wide.jpg"));
    EXPECT_EQ(std::pair(capped.width(), capped.height()), std::pair(4096, 2731));

    save(noise(240, 160), dir / "opaque.png");
    save(noise(240, 160, 4), dir / "clear.png");
    EXPECT_EQ(ImageOps::compress(dir / "opaque.png").filename(), "opaque (compressed).jpg");
    EXPECT_EQ(ImageOps::compress(dir / "clear.png").filename(), "clear (compressed).heic");
    EXPECT_EQ(ImageOps::fit(dir / "opaque.png", 30'000).value().filename(), "opaque (30 KB).jpg");
    const Path clear = ImageOps::fit(dir / "clear.png", 30'000).value();
    EXPECT_EQ(clear.filename(), "clear (30 KB).heic");
    EXPECT_LE(Output::size(clear), 30'000);
    EXPECT_EQ(open(clear).bands(), 4);

    const auto before = listFolder(dir.path());
    EXPECT_EQ(errorOf([&] { ImageOps::fit(dir / "opaque.png", 100); }), "Couldn't fit this image in the size limit");
    EXPECT_EQ(listFolder(dir.path()), before);
}

TEST(ImageShrink, FitFindsAFileUnderTheLimitAndNamesTheLimit)
{
    TempDir dir;
    const Path photo = dir / "photo.jpg";
    // Noise at 95 makes a photo of about 3 MB.
    noise(1400, 1000).jpegsave(photo.c_str(), Image::option()->set("Q", 95));
    ASSERT_GT(Output::size(photo), 2'000'000);

    const Path under500 = ImageOps::fit(photo, 500'000).value();
    EXPECT_EQ(under500.filename(), "photo (500 KB).jpg");
    EXPECT_LE(Output::size(under500), 500'000);
    EXPECT_GT(Output::size(under500), 250'000);  // the quality search used the room
    EXPECT_EQ(ImageOps::fit(photo, 2'000'000).value().filename(), "photo (2 MB).jpg");
    EXPECT_EQ(ImageOps::fit(photo, 10'000'000), std::nullopt);
    EXPECT_EQ(listFolder(dir.path()), (Names{"photo (2 MB).jpg", "photo (500 KB).jpg", "photo.jpg"}));
}

TEST(ImagePDF, PagesAreAtMost792PointsAndNeverEnlarged)
{
    TempDir dir;
    save(solid(3000, 2000, {250, 200, 0}), dir / "big.png");
    save(noise(400, 300), dir / "small.png");
    const Path combined = ImageOps::combineToPDF({dir / "big.png", dir / "small.png"});
    EXPECT_EQ(combined.filename(), "big (combined).pdf");
    const std::string pdf = readFile(combined);
    std::vector<std::string> boxes;
    const std::regex box(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])");
    for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), box); it != std::sregex_iterator(); ++it) {
        boxes.push_back(std::to_string(std::lround(std::stod((*it)[1]))) + "x" + std::to_string(std::lround(std::stod((*it)[2]))));
    }
    EXPECT_EQ(boxes, (Names{"792x528", "400x300"}));

    const Path single = ImageOps::combineToPDF({dir / "small.png"});
    EXPECT_EQ(single.filename(), "small.pdf");
    const Image page = open(single);  // libvips renders PDFs through poppler
    EXPECT_EQ(page.width(), 400);
    EXPECT_GT(page.extract_band(0).avg(), 100);
}
