#include "ImageSamples.h"
#include "MediaSamples.h"

#include "TestSupport.h"
#include "media/ImageOps.h"

using namespace ImageSamples;
using namespace TestSupport;

namespace {
// Opaque red on the right half, fully transparent on the left.
Image halfTransparent() { return solid(20, 10, {0, 0, 0, 0}).join(solid(20, 10, {255, 0, 0, 255}), VIPS_DIRECTION_HORIZONTAL); }
}

TEST(ImageWrite, TransparencyGoesOnWhiteForJpgAndStaysForPng)
{
    TempDir dir;
    save(halfTransparent(), dir / "in.png");
    for (const std::string ext : {"jpg", "png"}) {
        // Loaded images stream once, so each write loads afresh.
        const ImageOps::Loaded loaded = ImageOps::load(dir / "in.png");
        ImageOps::write(loaded.image, dir / ("out." + ext), ext, 0.9, loaded.metadata);
    }

    const Image jpg = open(dir / "out.jpg");
    EXPECT_EQ(jpg.bands(), 3);
    for (double v : jpg.getpoint(2, 5)) EXPECT_GT(v, 250);
    EXPECT_GT(jpg.getpoint(35, 5)[0], 240);
    EXPECT_LT(jpg.getpoint(35, 5)[1], 15);
    const Image png = open(dir / "out.png");
    EXPECT_EQ(png.getpoint(2, 5), (std::vector<double>{0, 0, 0, 0}));
    EXPECT_EQ(png.getpoint(35, 5), (std::vector<double>{255, 0, 0, 255}));
}

TEST(ImageWrite, IconsAreSquareAndNeverEnlarged)
{
    TempDir dir;
    for (const auto& [width, height, side] : {std::tuple(64, 64, 64), std::tuple(512, 300, 256)}) {
        const Path out = dir / (std::to_string(width) + ".ico");
        ImageOps::write(noise(width, height), out, "ico", 0.9, {});
        EXPECT_EQ(std::pair(open(out).width(), open(out).height()), std::pair(side, side));
    }
    // A wide picture is centred between transparent bands.
    const Image wide = ImageOps::squareIcon(solid(100, 50, {0, 0, 255}), 256);
    EXPECT_EQ(wide.height(), 100);
    EXPECT_EQ(wide.getpoint(50, 10)[3], 0);
    EXPECT_EQ(wide.getpoint(50, 50), (std::vector<double>{0, 0, 255, 255}));
}

TEST(ImageWrite, KnowsWhatItCanWrite)
{
    EXPECT_TRUE(ImageOps::canWrite("pdf"));
    EXPECT_TRUE(ImageOps::canWrite("JPG"));
    EXPECT_FALSE(ImageOps::canWrite("docx"));
}

TEST(ImageWrite, PixelOperations)
{
    // A 3 × 2 image whose pixels are numbered 1…6 row by row, in every band.
    unsigned char numbers[] = {1, 2, 3, 4, 5, 6};
    const Image plane = Image::new_from_memory(numbers, sizeof numbers, 3, 2, 1, VIPS_FORMAT_UCHAR);
    const Image numbered = plane.bandjoin(std::vector<Image>{plane, plane}).copy(Image::option()->set("interpretation", VIPS_INTERPRETATION_sRGB)).copy_memory();
    const Image turned = ImageOps::rotateClockwise(numbered);
    ASSERT_EQ(turned.width(), 2);
    EXPECT_EQ(turned.getpoint(0, 0)[0], 4);  // the bottom-left pixel comes to the top left
    EXPECT_EQ(turned.getpoint(1, 0)[0], 1);
    EXPECT_EQ(ImageOps::flipHorizontal(numbered).getpoint(0, 0)[0], 3);

    const Image half = ImageOps::resize(noise(101, 51), 0.5);
    EXPECT_EQ(std::pair(half.width(), half.height()), std::pair(51, 26));
    EXPECT_EQ(ImageOps::resize(noise(3, 3), 0.01).width(), 1);

    const Image gray = ImageOps::grayscale(halfTransparent());
    ASSERT_EQ(gray.bands(), 2);
    EXPECT_EQ(gray.getpoint(2, 5)[1], 0);
    EXPECT_EQ(gray.getpoint(35, 5)[1], 255);
}

class ImageWriteTools : public FreshHome {};

TEST_F(ImageWriteTools, FormatsLibvipsLacksGoThroughFfmpeg)
{
    TempDir dir;
    const Image green = solid(30, 20, {10, 200, 10});
    ImageOps::write(green, dir / "old.pcx", "pcx", 0.9, {});
    EXPECT_GT(ImageOps::load(dir / "old.pcx").image.getpoint(5, 5)[1], 190);

    const MediaSamples::ToolsScope absent(false);
    EXPECT_EQ(errorOf([&] { ImageOps::write(green, dir / "again.pcx", "pcx", 0.9, {}); }), ".pcx output needs ffmpeg (sudo apt install ffmpeg)");
}

// WebP goes to libwebp a strip of rows at a time, never holding the decoded photo; the files
// must stay byte for byte what libvips' own saver writes, metadata chunks included.
TEST(ImageWrite, WebPIsWhatLibvipsWrites)
{
    TempDir dir;
    const ImageOps::Metadata camera = ImageOps::load(cameraPhoto(dir.path())).metadata;
    const int width = 97, height = 701;
    const Image x = Image::xyz(width, height)[0], y = Image::xyz(width, height)[1];
    // Opaque but for a stripe of graded alpha across the middle strips.
    const Image stripe = ((y < 300) | (y > 330)).ifthenelse(255, x * 2).cast(VIPS_FORMAT_UCHAR);
    const Image opaque = Image::black(width, height).linear(1, 255).cast(VIPS_FORMAT_UCHAR);
    VipsBlob* profile = nullptr;
    ASSERT_EQ(vips_profile_load("srgb", &profile, nullptr), 0);
    size_t profileSize = 0;
    const void* profileBytes = vips_blob_get(profile, &profileSize);
    Image profiled = noise(64, 48).copy();
    profiled.set(VIPS_META_ICC_NAME, reinterpret_cast<VipsCallbackFn>(g_free), g_memdup2(profileBytes, profileSize), profileSize);
    vips_area_unref(VIPS_AREA(profile));

    const struct {
        const char* name;
        Image image;
        ImageOps::Metadata metadata;
    } cases[] = {
        {"camera", noise(width, height), camera},
        {"translucent", noise(width, height).bandjoin(stripe), {}},
        {"opaque-alpha", noise(width, height).bandjoin(opaque), {}},
        {"profiled", profiled, {}},
    };
    for (const auto& c : cases) {
        const Path ours = dir / (std::string(c.name) + ".webp"), theirs = dir / (std::string(c.name) + "-libvips.webp");
        ImageOps::write(c.image, ours, "webp", 0.9, c.metadata);
        Image reference = c.image.copy();
        for (const auto& [field, bytes] : c.metadata) {
            reference.set(field.c_str(), reinterpret_cast<VipsCallbackFn>(g_free), g_memdup2(bytes.data(), bytes.size()), bytes.size());
        }
        reference.webpsave(theirs.c_str(), Image::option()->set("Q", 90));
        EXPECT_TRUE(readFile(ours) == readFile(theirs)) << c.name;
    }
}
