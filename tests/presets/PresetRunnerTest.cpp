#include "ImageSamples.h"
#include "TestSupport.h"

#include "presets/PresetRunner.h"
#include "presets/PresetStore.h"

using namespace TestSupport;

namespace {
Preset imagePreset(const std::string& name, const std::string& format, std::int64_t maxDimension, bool strip)
{
    Preset p = Preset::added();
    p.name = name;
    p.format = format;
    p.maxDimension = maxDimension;
    p.stripMetadata = strip;
    return p;
}
}

class PresetRunnerTest : public FreshHomeWithFiles {};

TEST_F(PresetRunnerTest, ImagesShrinkToTheLongestSideButNeverGrow)
{
    const struct {
        int width, height;
        std::int64_t maxDimension;
        int outWidth, outHeight;
    } cases[] = {{3200, 1600, 1600, 1600, 800}, {1200, 800, 1600, 1200, 800}, {800, 1200, 0, 800, 1200}};
    for (const auto& c : cases) {
        const Path source = dir / ("cat " + std::to_string(c.width) + ".png");
        ImageSamples::save(ImageSamples::noise(c.width, c.height), source);
        const Path out = PresetRunner::run(imagePreset("Web", "jpg", c.maxDimension, true), source);
        EXPECT_EQ(out, dir / ("cat " + std::to_string(c.width) + " (Web).jpg"));
        const auto image = ImageSamples::open(out);
        EXPECT_EQ(image.width(), c.outWidth);
        EXPECT_EQ(image.height(), c.outHeight);
    }
}

TEST_F(PresetRunnerTest, MetadataIsKeptUnlessThePresetStripsIt)
{
    const Path photo = ImageSamples::cameraPhoto(dir.path());
    const auto kept = ImageSamples::tags(PresetRunner::run(imagePreset("Keep", "jpg", 0, false), photo));
    EXPECT_EQ(kept.count("Make") ? kept.at("Make") : "", "Canon");
    EXPECT_EQ(kept.count("GPSLatitude") ? kept.at("GPSLatitude") : "", "48.85");
    const auto stripped = ImageSamples::tags(PresetRunner::run(imagePreset("Strip", "jpg", 0, true), photo));
    EXPECT_FALSE(stripped.count("Make") || stripped.count("GPSLatitude") || stripped.count("Keywords"));
}

TEST_F(PresetRunnerTest, AFailedRunLeavesNothingBehind)
{
    const Path broken = file("broken.png", "not a picture");
    EXPECT_NE(errorOf([&] { PresetRunner::run(imagePreset("Web", "jpg", 0, false), broken); }), "no error");
    EXPECT_EQ(listFolder(dir.path()), Names{"broken.png"});
}
