#include "ImageSamples.h"

#include "TestSupport.h"
#include "media/ImageOps.h"

using namespace ImageSamples;
using namespace TestSupport;
using ImageOps::Edit;

TEST(ImageEdits, KeepTheFormatAndNameTheResult)
{
    TempDir dir;
    save(noise(64, 40), dir / "cat.webp");
    const std::vector<std::pair<Edit, std::string>> named = {
        {Edit::rotate, "cat (rotated).webp"}, {Edit::flip, "cat (flipped).webp"}, {Edit::halve, "cat (50%).webp"}};
    for (const auto& [edit, name] : named) EXPECT_EQ(ImageOps::transform(dir / "cat.webp", edit).filename(), name);
    EXPECT_EQ(ImageOps::convert(dir / "cat.webp", "png").filename(), "cat.png");
    const Path gray = ImageOps::transform(dir / "cat.webp", Edit::grayscale);
    EXPECT_EQ(gray.filename(), "cat (grayscale).webp");
    const auto pixel = open(gray).getpoint(10, 10);
    EXPECT_EQ(pixel[0], pixel[1]);
}

// Halving rounds odd sides up and halves a turned photo as it is seen, keeping its tags.
TEST(ImageEdits, HalvingRoundsUpAndKeepsTheCameraTags)
{
    TempDir dir;
    save(noise(301, 201), dir / "odd.jpg");
    const Image odd = open(ImageOps::transform(dir / "odd.jpg", Edit::halve));
    EXPECT_EQ(std::pair(odd.width(), odd.height()), std::pair(151, 101));
    const Path turned = ImageOps::transform(cameraPhoto(dir.path()), Edit::halve);
    EXPECT_EQ(std::pair(open(turned).width(), open(turned).height()), std::pair(100, 150));
    EXPECT_EQ(tags(turned)["Make"], "Canon");
}
