#include "ImageSamples.h"

#include "core/Errors.h"
#include "core/catalog/Rows.h"
#include "media/ImageOps.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace ImageSamples;
using TestSupport::TempDir;

namespace {
const WheelOption& option(const WheelOptions& options, const std::string& title)
{
    for (const WheelOption& o : options) {
        if (o.title == title) return o;
    }
    throw std::runtime_error("no option " + title);
}

std::string failure(const RunFn& run, const Path& file)
{
    try {
        run({file});
    } catch (const KError& e) {
        return e.message();
    }
    return "no failure";
}
}

TEST(ImageLoad, TurnsPhotoUprightAndCarriesCameraAndGPSTagsUntilMetadataIsRemoved)
{
    TempDir dir;
    const Path photo = cameraPhoto(dir.path());
    const ImageOps::Loaded loaded = ImageOps::load(photo);
    EXPECT_EQ(loaded.image.width(), 200);
    EXPECT_EQ(loaded.image.height(), 300);

    for (const std::string ext : {"jpg", "png", "webp", "heic"}) {
        const Path out = dir / ("out." + ext);
        ImageOps::write(loaded.image, out, ext, 0.9, loaded.metadata);
        const Image written = open(out);
        EXPECT_EQ(written.width(), 200) << ext;
        EXPECT_EQ(written.height(), 300) << ext;
        auto found = tags(out);
        EXPECT_EQ(found["Make"], "Canon") << ext;
        EXPECT_EQ(found["Model"], "EOS R5") << ext;
        EXPECT_NEAR(std::stod(found["GPSLatitude"]), 48.85, 1e-6) << ext;
        // Already upright: a second turn by a viewer would be wrong.
        EXPECT_TRUE(!found.count("Orientation") || found["Orientation"] == "1") << ext << " " << found["Orientation"];
    }
    EXPECT_EQ(tags(dir / "out.jpg")["Keywords"], "holiday");
    EXPECT_EQ(tags(dir / "out.heic")["ChromaFormat"], "1");  // 4:2:0, as cameras write HEIF

    const WheelOptions tools = ToolRows::image({photo});
    const Path clean = option(tools, "Metadata").run({photo}).outputs.at(0);
    EXPECT_EQ(clean.filename(), "photo (clean).jpg");
    const auto left = tags(clean);
    EXPECT_FALSE(left.count("Make"));
    EXPECT_FALSE(left.count("Model"));
    EXPECT_FALSE(left.count("GPSLatitude"));
    EXPECT_FALSE(left.count("Keywords"));
    EXPECT_EQ(open(clean).width(), 200);

    const Path rotated = option(tools, "Rotate").run({photo}).outputs.at(0);
    EXPECT_EQ(open(rotated).width(), 300);
    EXPECT_EQ(tags(rotated)["Make"], "Canon");
}

TEST(ImageLoad, RefusesUnreadableFilesAndWritesNothing)
{
    TempDir dir;
    save(noise(400, 300), dir / "whole.jpg");
    save(noise(400, 300), dir / "whole.png");
    const std::string jpg = TestSupport::readFile(dir / "whole.jpg");
    const std::string png = TestSupport::readFile(dir / "whole.png");
    TestSupport::writeFile(dir / "empty.png", "");
    TestSupport::writeFile(dir / "notes.png", "shopping list: eggs, milk\n");
    TestSupport::writeFile(dir / "cut.jpg", jpg.substr(0, jpg.size() / 2));
    TestSupport::writeFile(dir / "cut.png", png.substr(0, png.size() / 2));
    std::string flipped = jpg;
    for (size_t i = 20; i < 420; ++i) flipped[i] = char(~flipped[i]);
    TestSupport::writeFile(dir / "garbled.jpg", flipped);
    const auto before = TestSupport::listFolder(dir.path());

    const RunFn toWebp = option(ConvertRows::image({dir / "cut.jpg"}), "WEBP").run;
    const RunFn compress = option(ToolRows::image({dir / "cut.jpg"}), "Compress").run;
    const RunFn pdf = option(ToolRows::image({dir / "cut.jpg"}), "PDF").run;
    for (const std::string name : {"empty.png", "notes.png", "cut.jpg", "cut.png", "garbled.jpg"}) {
        EXPECT_EQ(failure(toWebp, dir / name), "Couldn't read " + name + " as an image");
        EXPECT_EQ(failure(compress, dir / name), "Couldn't read " + name + " as an image");
        EXPECT_EQ(failure(pdf, dir / name), "Couldn't read " + name + " as an image");
    }
    EXPECT_EQ(TestSupport::listFolder(dir.path()), before);
}

TEST(ImageLoad, RefusesImagesAbovePixelLimitBeforeDecoding)
{
    TempDir dir;
    pngHeaderOnly(dir / "bomb.png", 60000, 60000);
    try {
        ImageOps::load(dir / "bomb.png");
        FAIL() << "a 3.6-gigapixel image was accepted";
    } catch (const KError& e) {
        EXPECT_EQ(e.message(), "bomb.png is too large to open: 60000 × 60000 pixels (the limit is 250 megapixels)");
    }
    EXPECT_EQ(TestSupport::listFolder(dir.path()), std::vector<std::string>{"bomb.png"});
}

TEST(ImageLoad, AnimationsGiveTheirFirstFrame)
{
    TempDir dir;
    // Two 40 × 30 frames, black then white, stacked the way libvips holds animations.
    Image strip = solid(40, 30, {0, 0, 0}).join(solid(40, 30, {255, 255, 255}), VIPS_DIRECTION_VERTICAL).copy();
    strip.set("page-height", 30);
    for (const std::string ext : {"gif", "webp"}) {
        const Path anim = dir / ("anim." + ext);
        save(strip, anim);
        ASSERT_EQ(open(anim).get_int("n-pages"), 2);
        const ImageOps::Loaded loaded = ImageOps::load(anim);
        EXPECT_EQ(loaded.image.height(), 30) << ext;
        EXPECT_LT(loaded.image.extract_band(0, Image::option()->set("n", 3)).avg(), 10) << ext;
        const Path still = dir / ("still-" + ext + ".png");
        ImageOps::write(loaded.image, still, "png", 0.9, loaded.metadata);
        EXPECT_EQ(open(still).height(), 30);
    }
}

TEST(ImageLoad, FormatsOnlyImageMagickReadsLoadWithoutMetadata)
{
    TempDir dir;
    const Path tga = dir / "old.tga";
    Image::call("magicksave", Image::option()->set("in", solid(48, 32, {200, 10, 10}))->set("filename", tga.c_str())->set("format", "tga"));
    const ImageOps::Loaded loaded = ImageOps::load(tga);
    EXPECT_EQ(loaded.image.width(), 48);
    EXPECT_EQ(loaded.image.height(), 32);
    EXPECT_TRUE(loaded.metadata.empty());

    // Tools keep the source's format only when it can be written: tga comes out as png.
    const Path flipped = option(ToolRows::image({tga}), "Flip").run({tga}).outputs.at(0);
    EXPECT_EQ(flipped.filename(), "old (flipped).png");
    EXPECT_EQ(open(flipped).width(), 48);
}
