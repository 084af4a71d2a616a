#include "ImageSamples.h"

#include "media/ImageOps.h"
#include "media/ImageVips.h"
#include "TestSupport.h"

using namespace ImageSamples;
using namespace TestSupport;

TEST(ImageLoad, TurnsPhotoUprightAndCarriesCameraAndGPSTagsUntilMetadataIsRemoved)
{
    TempDir dir;
    const Path photo = cameraPhoto(dir.path());
    const ImageOps::Loaded loaded = ImageOps::load(photo);
    EXPECT_EQ(std::pair(loaded.image.width(), loaded.image.height()), std::pair(200, 300));

    for (const std::string ext : {"jpg", "png", "webp", "heic"}) {
        const Path out = dir / ("out." + ext);
        ImageOps::write(loaded.image, out, ext, 0.9, loaded.metadata);
        EXPECT_EQ(open(out).width(), 200) << ext;
        auto found = tags(out);
        EXPECT_EQ(found["Make"] + " " + found["Model"], "Canon EOS R5") << ext;
        EXPECT_NEAR(std::stod(found["GPSLatitude"]), 48.85, 1e-6) << ext;
        // Already upright: a second turn by a viewer would be wrong.
        for (const std::string tag : {"Orientation", "XMP Orientation"}) EXPECT_TRUE(!found.count(tag) || found[tag] == "1") << ext << " " << tag;
    }
    EXPECT_EQ(tags(dir / "out.jpg")["Keywords"], "holiday");
    EXPECT_EQ(tags(dir / "out.heic")["ChromaFormat"], "1");  // 4:2:0, as cameras write HEIF

    const Path clean = ImageOps::transform(photo, ImageOps::Edit::stripMetadata);
    EXPECT_EQ(clean.filename(), "photo (clean).jpg");
    EXPECT_EQ(open(clean).width(), 200);
    const auto left = tags(clean);
    for (const std::string tag : {"Make", "Model", "GPSLatitude", "Keywords"}) EXPECT_FALSE(left.count(tag)) << tag;
}

// libvips records its prefix in the environment; that happens as the program loads, never
// later, when another thread may be starting a program from the environment.
TEST(ImageLoad, EngineStartLeavesTheEnvironmentAlone)
{
    EXPECT_NE(std::getenv("VIPSHOME"), nullptr);
    ImageVips::start();
}

TEST(ImageLoad, RefusesUnreadableFilesAndWritesNothing)
{
    TempDir dir;
    save(noise(400, 300), dir / "whole.jpg");
    save(noise(400, 300), dir / "whole.png");
    const std::string jpg = readFile(dir / "whole.jpg");
    const std::string png = readFile(dir / "whole.png");
    std::string garbled = jpg;
    for (size_t i = 20; i < 420; ++i) garbled[i] = char(~garbled[i]);
    const std::map<std::string, std::string> bad = {{"empty.png", ""}, {"notes.png", "shopping list: eggs, milk\n"}, {"garbled.jpg", garbled},
                                                    {"cut.jpg", jpg.substr(0, jpg.size() / 2)}, {"cut.png", png.substr(0, png.size() / 2)}};
    for (const auto& [name, bytes] : bad) writeFile(dir / name, bytes);
    const auto before = listFolder(dir.path());

    using Engine = std::function<void(const Path&)>;
    for (const Engine& run : {Engine([](const Path& p) { ImageOps::convert(p, "webp"); }), Engine(ImageOps::compress),
                              Engine([](const Path& p) { ImageOps::combineToPDF({p}); })}) {
        for (const auto& [name, bytes] : bad) EXPECT_EQ(errorOf([&] { run(dir / name); }), "Couldn't read " + name + " as an image");
    }
    EXPECT_EQ(listFolder(dir.path()), before);
}

TEST(ImageLoad, RefusesImagesAbovePixelLimitBeforeDecoding)
{
    TempDir dir;
    // A valid header declaring 60000 × 60000 pixels, with a few bytes of pixel data.
    std::filesystem::copy_file(Path(VARNOLT_TEST_DATA) / "media/bomb.png", dir / "bomb.png");
    EXPECT_EQ(errorOf([&] { ImageOps::load(dir / "bomb.png"); }),
              "bomb.png is too large to open: 60000 × 60000 pixels (the limit is 250 megapixels)");
    EXPECT_EQ(listFolder(dir.path()), Names{"bomb.png"});
}

// Animations give their first frame; formats only ImageMagick reads load without metadata.
TEST(ImageLoad, UnusualSourcesLoadAsStills)
{
    TempDir dir;
    // Two 40 × 30 frames, black then white, stacked the way libvips holds animations.
    Image strip = solid(40, 30, {0, 0, 0}).join(solid(40, 30, {255, 255, 255}), VIPS_DIRECTION_VERTICAL).copy();
    strip.set("page-height", 30);
    for (const std::string ext : {"gif", "webp"}) {
        const Path anim = dir / ("anim." + ext);
        save(strip, anim);
        ASSERT_EQ(open(anim).get_int("n-pages"), 2);
        const Image first = ImageOps::load(anim).image;
        EXPECT_EQ(first.height(), 30) << ext;
        EXPECT_LT(first.extract_band(0, Image::option()->set("n", 3)).avg(), 10) << ext;
    }

    const Path tga = dir / "old.tga";
    std::filesystem::copy_file(Path(VARNOLT_TEST_DATA) / "media/old.tga", tga);
    const ImageOps::Loaded loaded = ImageOps::load(tga);
    EXPECT_EQ(loaded.image.width(), 48);
    EXPECT_TRUE(loaded.metadata.empty());
    // Tools keep the source's format only when it can be written: tga comes out as png.
    EXPECT_EQ(ImageOps::transform(tga, ImageOps::Edit::flip).filename(), "old (flipped).png");
}

// An SVG that libvips does not recognise went to ImageMagick, which drew the files it names
// and crashed on deep nesting.
TEST(ImageLoad, ScriptedAndVectorFilesNeverReachImageMagick)
{
    TempDir dir;
    const Path secret = dir / "secret.png";
    save(solid(20, 20, {255, 0, 0}), secret);
    const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"20\" height=\"20\">";
    // libvips looks for the svg tag near the start only; a long comment hides it.
    const std::string hidden = "<?xml version=\"1.0\"?>\n<!--" + std::string(5000, 'x') + "-->\n";
    std::string nested;
    for (int i = 0; i < 2000; ++i) nested = "<g>" + nested + "</g>";
    const std::map<std::string, std::string> hostile = {
        {"photo.jpg", hidden + svg + "<image xlink:href=\"" + secret.string() + "\" width=\"20\" height=\"20\"/></svg>"},
        {"nested.svg", svg + nested + "</svg>"},
        {"nested.jpg", hidden + svg + nested + "</svg>"},
    };
    for (const auto& [name, contents] : hostile) {
        writeFile(dir / name, contents);
        EXPECT_EQ(errorOf([&] { ImageOps::load(dir / name).image.avg(); }), "Couldn't read " + name + " as an image");
    }
}

// ImageMagick keeps its scratch files in a folder of the process's own that goes with it; a
// killed process's folder goes at the next start.
TEST(ImageLoad, ImageMagickLeavesNothingInTheTemporaryFolder)
{
    TempDir dir;
    TempDir temp;
    std::filesystem::create_directory(temp / "varnolt-magick-2147483646-1");
    std::filesystem::copy_file(Path(VARNOLT_TEST_DATA) / "media/old.tga", dir / "old.tga");
    writeFile(dir / "photo.jpg", "<?xml version=\"1.0\"?>\n<!--" + std::string(5000, 'x') + "-->\n<svg width=\"2\" height=\"2\"/>");
    const std::map<std::string, std::string> env = {{"TMPDIR", temp.path().string()}};
    EXPECT_EQ(runVarnolt({"--run", "convert", "png", "old.tga"}, env, dir.path()).out, (dir / "old.png").string() + "\n");
    EXPECT_EQ(runVarnolt({"--run", "convert", "png", "photo.jpg"}, env, dir.path()).out, "ERROR: Couldn't read photo.jpg as an image\n");
    for (const std::string& name : listFolder(temp.path())) EXPECT_FALSE(name.find("magick") != std::string::npos) << name;
}
