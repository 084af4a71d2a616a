#include "ImageSamples.h"
#include "TestSupport.h"

#include "catalog/Catalog.h"
#include "presets/PresetStore.h"

using namespace TestSupport;

// Presets name only the fields they set; GCC 12 warns about the rest even when designated.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using PresetOptionsTest = FreshHomeWithFiles;

// Presets come first on the convert page, titled by their names, and survive the cut to twelve.
TEST_F(PresetOptionsTest, PresetsLeadTheConvertPage)
{
    std::vector<Preset> presets;
    for (int i = 1; i <= 13; ++i) presets.push_back({.id = QUuid::createUuid(), .name = "P" + std::to_string(i), .format = "png"});
    PresetStore::setAll(presets);
    const Path photo = dir / "photo.jpg";
    ImageSamples::save(ImageSamples::noise(40, 30), photo);
    const WheelOptions options = Catalog::options({photo}, WheelMode::convert);
    ASSERT_EQ(options.size(), 12u);
    EXPECT_EQ(options.front().title, "P1");
    EXPECT_EQ(options.back().title, "P12");
    EXPECT_EQ(options.front().symbol, "star.fill");
    EXPECT_EQ(options.front().run({photo}).outputs, Paths{dir / "photo (P1).png"});
    EXPECT_TRUE(Catalog::options({dir / "song.mp3"}, WheelMode::convert).empty() ||
                Catalog::options({dir / "song.mp3"}, WheelMode::convert).front().title != "P1");
}
