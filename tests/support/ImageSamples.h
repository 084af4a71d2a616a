#pragma once
#include "core/Paths.h"
#include "media/ImageOps.h"

#include <map>
#include <string>

// Pictures the image tests make for themselves.
namespace ImageSamples {
using ImageOps::Image;

// Random grey-level noise: it compresses badly, so file sizes are large and predictable.
Image noise(int width, int height, int bands = 3);
// A flat colour, with an alpha band when the colour has four values.
Image solid(int width, int height, const std::vector<double>& colour);
void save(const Image& image, const Path& to);
Image open(const Path& file);
// A 300 × 200 JPEG that says "turn 90° clockwise" in EXIF and XMP, with camera, GPS and IPTC tags.
Path cameraPhoto(const Path& folder);
// The given tags as exiftool prints them (numbers unformatted), XMP's orientation as
// "XMP Orientation"; absent tags are left out.
std::map<std::string, std::string> tags(const Path& file);
// Black lines of text on white in DejaVu Sans, pixels high (capitals about 0.73 of that),
// with a margin of two lines; grey, one band.
Image printedText(const std::vector<std::string>& lines, int pixels);
// The image as JPEG bytes at quality 90.
std::string writtenJPEG(const Image& image);
// Lines of everyday English for the recognition tests, and the share of their words (0…1)
// found exactly in text.
const std::vector<std::string>& pangrams();
double wordsFound(const std::vector<std::string>& lines, const std::string& text);
}
