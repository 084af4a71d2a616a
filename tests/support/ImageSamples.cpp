#include "ImageSamples.h"

#include "TestSupport.h"

#include <algorithm>
#include <iterator>
#include <sstream>

namespace ImageSamples {

Image noise(int width, int height, int bands)
{
    std::vector<Image> planes;
    for (int b = 0; b < bands; ++b) {
        planes.push_back(Image::gaussnoise(width, height, Image::option()->set("mean", 128.0)->set("sigma", 60.0)->set("seed", b + 1)));
    }
    return Image::bandjoin(planes).cast(VIPS_FORMAT_UCHAR).copy(Image::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

Image solid(int width, int height, const std::vector<double>& colour)
{
    return Image::black(width, height, Image::option()->set("bands", int(colour.size())))
        .linear(std::vector<double>(colour.size(), 1.0), colour)
        .cast(VIPS_FORMAT_UCHAR)
        .copy(Image::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

void save(const Image& image, const Path& to) { image.write_to_file(to.c_str()); }

Image open(const Path& file) { return Image::new_from_file(file.c_str()); }

Image printedText(const std::vector<std::string>& lines, int pixels)
{
    std::string markup;
    for (const std::string& line : lines) markup += (markup.empty() ? "" : "\n") + line;
    // At 72 dpi a point is a pixel.
    const Image ink = Image::text(markup.c_str(), Image::option()->set("font", ("DejaVu Sans " + std::to_string(pixels)).c_str())->set("dpi", 72)->set("spacing", pixels / 2));
    const int margin = 2 * pixels;
    return (255 - ink.embed(margin, margin, ink.width() + 2 * margin, ink.height() + 2 * margin))
        .cast(VIPS_FORMAT_UCHAR)
        .copy(Image::option()->set("interpretation", VIPS_INTERPRETATION_B_W));
}

std::string writtenJPEG(const Image& image)
{
    void* bytes = nullptr;
    size_t size = 0;
    image.write_to_buffer(".jpg[Q=90]", &bytes, &size);
    std::string jpeg(static_cast<const char*>(bytes), size);
    g_free(bytes);
    return jpeg;
}

const std::vector<std::string>& pangrams()
{
    static const std::vector<std::string> lines = {
        "The quick brown fox jumps over the lazy dog",
        "Pack my box with five dozen liquor jugs",
        "Sphinx of black quartz judge my vow",
        "How vexingly quick daft zebras jump",
    };
    return lines;
}

double wordsFound(const std::vector<std::string>& lines, const std::string& text)
{
    const auto words = [](const std::string& from) {
        std::istringstream in(from);
        std::vector<std::string> list{std::istream_iterator<std::string>(in), {}};
        std::sort(list.begin(), list.end());
        return list;
    };
    std::string all;
    for (const std::string& line : lines) all += line + " ";
    const std::vector<std::string> expected = words(all), found = words(text);
    std::vector<std::string> both;
    std::set_intersection(expected.begin(), expected.end(), found.begin(), found.end(), std::back_inserter(both));
    return double(both.size()) / expected.size();
}

Path cameraPhoto(const Path& folder)
{
    std::filesystem::copy_file(Path(VARNOLT_TEST_DATA) / "media/camera-photo.jpg", folder / "photo.jpg");
    return folder / "photo.jpg";
}

std::map<std::string, std::string> tags(const Path& file)
{
    const auto result = TestSupport::runProgram("exiftool", {"-a", "-G1", "-S", "-n", "-Orientation", "-Make", "-Model", "-GPSLatitude", "-Keywords",
                                                             "-ChromaFormat", file.string()});
    std::map<std::string, std::string> found;
    std::istringstream lines(result.out);
    // "[group] Name: value"; the first of several wins, XMP's orientation has a name of its own.
    for (std::string line; std::getline(lines, line);) {
        const auto close = line.find("] ");
        const auto colon = line.find(": ", close);
        if (close == std::string::npos || colon == std::string::npos) continue;
        std::string name = line.substr(close + 2, colon - close - 2);
        if (name == "Orientation" && line.starts_with("[XMP")) name = "XMP Orientation";
        found.emplace(name, line.substr(colon + 2));
    }
    return found;
}

}
