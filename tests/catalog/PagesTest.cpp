#include "ImageSamples.h"
#include "TestSupport.h"

#include "catalog/Catalog.h"
#include "media/ImageOps.h"
#include "presets/PresetStore.h"

using namespace TestSupport;

namespace {
std::string page(const Paths& files, WheelMode mode)
{
    std::string text;
    for (const std::string& title : titles(Catalog::options(files, mode))) text += (text.empty() ? "" : ", ") + title;
    return text;
}

// The image targets this machine can write, without the one named.
std::string writableTargetsBut(const std::string& left)
{
    std::string text;
    for (const std::string ext : {"png", "jpg", "heic", "webp", "avif", "tiff", "gif", "bmp", "pdf", "ico"}) {
        if (ext != left && ImageOps::canWrite(ext)) text += (text.empty() ? "" : ", ") + upperAscii(ext);
    }
    return text;
}
}

using CatalogPages = FreshHomeWithFiles;

TEST_F(CatalogPages, EachSelectionGetsItsKindsConvertAndToolPages)
{
    std::filesystem::create_directory(dir / "photos");
    const struct { Names files; std::string convert; std::optional<std::string> tools; } cases[] = {
        {{"cat.png", "dog.PNG"}, writableTargetsBut("png"), "Compress, Crop, Text, Fit 1 MB, Resize, Rotate, Flip, Grayscale, Metadata, Combine, Zip"},
        {{"photo.tif"}, writableTargetsBut("tiff"), "Compress, Crop, Text, Fit 1 MB, Resize, Rotate, Flip, Grayscale, Metadata, PDF, Zip"},
        {{"photo.jpeg"}, writableTargetsBut("jpg"), "Compress, Crop, Text, Fit 1 MB, Resize, Rotate, Flip, Grayscale, Metadata, PDF, Zip"},
        {{"a.pdf"}, "DOCX, PPTX, XLSX, JPG, PNG, EPUB, TXT, MD", "Compress, Split, Rotate, Text, Zip"},
        {{"a.pdf", "b.PDF"}, "DOCX, PPTX, XLSX, JPG, PNG, EPUB, TXT, MD", "Compress, Merge, Split, Rotate, Text, Zip"},
        {{"data.csv"}, "XLSX, TSV, ODS, PDF, JSON, HTML, MD", {}},
        {{"x.xlsx", "y.ods"}, "CSV, TSV, PDF, JSON, HTML, MD", {}},
        {{"movie.srt"}, "VTT, TXT", "Zip"},
        {{"a.SRT", "b.vtt"}, "TXT", {}},
        {{"photos.tar.gz"}, "Extract, ZIP, TAR.GZ", "Extract"},
        {{"log.gz"}, "Extract", "Extract"},
        {{"data.zip"}, "Extract, TAR.GZ", "Extract"},
        // One plain .gz in the selection is enough to offer only Extract.
        {{"photos.tar.gz", "log.gz"}, "Extract", "Extract"},
        {{"photos"}, "ZIP, TAR.GZ", "Zip"},
        {{"photos", "a.txt"}, "ZIP, TAR.GZ", "Zip"},
        {{"data.zip", "a.txt"}, "ZIP, TAR.GZ", "Zip"},
    };
    for (const auto& c : cases) {
        Paths files;
        for (const std::string& name : c.files) files.push_back(dir / name);
        EXPECT_EQ(page(files, WheelMode::convert), c.convert) << c.files.front();
        if (c.tools) EXPECT_EQ(page(files, WheelMode::tools), *c.tools) << c.files.front();
    }
}

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
