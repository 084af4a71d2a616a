#include "ImageSamples.h"

#include "TestSupport.h"
#include "core/Errors.h"
#include "media/ImageOps.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace ImageSamples;
using TestSupport::TempDir;

namespace {
// Opaque red on the right half, fully transparent on the left.
Image halfTransparent()
{
    return solid(20, 10, {0, 0, 0, 0}).join(solid(20, 10, {255, 0, 0, 255}), VIPS_DIRECTION_HORIZONTAL);
}

std::vector<double> pixel(const Image& image, int x, int y)
{
    return image.getpoint(x, y);
}
}

TEST(ImageWrite, TransparencyGoesOnWhiteForJpgAndStaysForPng)
{
    TempDir dir;
    save(halfTransparent(), dir / "in.png");
    for (const std::string ext : {"jpg", "png"}) {
        const ImageOps::Loaded loaded = ImageOps::load(dir / "in.png");
        ImageOps::write(loaded.image, dir / ("out." + ext), ext, 0.9, loaded.metadata);
    }

    const Image jpg = open(dir / "out.jpg");
    EXPECT_EQ(jpg.bands(), 3);
    for (double v : pixel(jpg, 2, 5)) EXPECT_GT(v, 250);
    EXPECT_GT(pixel(jpg, 35, 5)[0], 240);
    EXPECT_LT(pixel(jpg, 35, 5)[1], 15);

    const Image png = open(dir / "out.png");
    ASSERT_EQ(png.bands(), 4);
    EXPECT_EQ(pixel(png, 2, 5)[3], 0);
    EXPECT_EQ(pixel(png, 35, 5), (std::vector<double>{255, 0, 0, 255}));
}

TEST(ImageWrite, IconsAreSquareAndNeverEnlarged)
{
    TempDir dir;
    const auto icon = [&](int width, int height) {
        const Path out = dir / (std::to_string(width) + "x" + std::to_string(height) + ".ico");
        ImageOps::write(noise(width, height), out, "ico", 0.9, {});
        const Image written = open(out);
        return std::pair(written.width(), written.height());
    };
    EXPECT_EQ(icon(64, 64), std::pair(64, 64));
    EXPECT_EQ(icon(512, 300), std::pair(256, 256));

    const Image wide = ImageOps::squareIcon(solid(100, 50, {0, 0, 255}), 256);
    EXPECT_EQ(wide.width(), 100);
    EXPECT_EQ(wide.height(), 100);
    EXPECT_EQ(pixel(wide, 50, 10)[3], 0);   // band above
    EXPECT_EQ(pixel(wide, 50, 50), (std::vector<double>{0, 0, 255, 255}));
    EXPECT_EQ(pixel(wide, 50, 90)[3], 0);   // band below
}

TEST(ImageWrite, KnowsWhatItCanWrite)
{
    EXPECT_TRUE(ImageOps::canWrite("pdf"));
    EXPECT_TRUE(ImageOps::canWrite("JPG"));
    EXPECT_TRUE(ImageOps::canWrite("ico"));
    EXPECT_FALSE(ImageOps::canWrite("docx"));
    EXPECT_EQ(ImageOps::utType("tif"), "image/tiff");
    EXPECT_EQ(ImageOps::utType("nosuchformat"), std::nullopt);
}

TEST(ImageWrite, PixelOperations)
{
    // A 3 × 2 image whose pixels are numbered 1…6 row by row, in every band.
    unsigned char numbers[] = {1, 2, 3, 4, 5, 6};
    const Image plane = Image::new_from_memory(numbers, sizeof numbers, 3, 2, 1, VIPS_FORMAT_UCHAR);
    const Image numbered = plane.bandjoin(std::vector<Image>{plane, plane}).copy(Image::option()->set("interpretation", VIPS_INTERPRETATION_sRGB)).copy_memory();
    const Image turned = ImageOps::rotateClockwise(numbered);
    ASSERT_EQ(turned.width(), 2);
    ASSERT_EQ(turned.height(), 3);
    EXPECT_EQ(pixel(turned, 0, 0)[0], 4);  // the bottom-left pixel comes to the top left
    EXPECT_EQ(pixel(turned, 1, 0)[0], 1);
    const Image mirrored = ImageOps::flipHorizontal(numbered);
    EXPECT_EQ(pixel(mirrored, 0, 0)[0], 3);
    EXPECT_EQ(pixel(mirrored, 2, 1)[0], 4);

    const Image half = ImageOps::resize(noise(101, 51), 0.5);
    EXPECT_EQ(half.width(), 51);
    EXPECT_EQ(half.height(), 26);
    EXPECT_EQ(ImageOps::resize(noise(3, 3), 0.01).width(), 1);

    const Image gray = ImageOps::grayscale(halfTransparent());
    ASSERT_EQ(gray.bands(), 2);
    EXPECT_EQ(pixel(gray, 2, 5)[1], 0);
    EXPECT_EQ(pixel(gray, 35, 5)[1], 255);
    EXPECT_EQ(ImageOps::flatten(halfTransparent()).bands(), 3);
}

class ImageWriteTools : public TestSupport::FreshHome {};

TEST_F(ImageWriteTools, FormatsLibvipsLacksGoThroughFfmpeg)
{
    TempDir dir;
    ImageOps::write(solid(30, 20, {10, 200, 10}), dir / "old.pcx", "pcx", 0.9, {});
    const ImageOps::Loaded back = ImageOps::load(dir / "old.pcx");
    EXPECT_EQ(back.image.width(), 30);
    EXPECT_GT(back.image.getpoint(5, 5)[1], 190);

    TempDir noTools;
    setenv("VARNOLT_TOOL_DIRS", noTools.path().c_str(), 1);
    try {
        ImageOps::write(solid(30, 20, {10, 200, 10}), dir / "again.pcx", "pcx", 0.9, {});
        ADD_FAILURE() << "wrote .pcx without ffmpeg";
    } catch (const KError& e) {
        EXPECT_EQ(e.message(), ".pcx output needs ffmpeg (sudo apt install ffmpeg)");
    }
    unsetenv("VARNOLT_TOOL_DIRS");
}
