#pragma once
#include "core/Paths.h"

#include <vips/vips8>

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The still-image engine, on libvips. An Image is a lazy libvips pipeline: loads only read the
// header, operations only describe their work, and a write pulls the pixels through in strips,
// so a conversion never holds a whole decoded photo unless an operation needs one (rotation,
// the repeated encodes of fit, PDF drawing).
namespace ImageOps {
using Image = vips::VImage;
// The metadata blocks kept from a source, by libvips field name: "exif-data" (camera, TIFF
// and GPS tags), "iptc-data", "xmp-data".
using Metadata = std::map<std::string, std::string>;

// A decoded, upright image (8-bit sRGB or grey, alpha when the source has one; RGB and grey
// sources keep their ICC profile with the pixels) and the metadata kept from its file. The image streams from
// its file once, top to bottom: work that needs the pixels twice (two writes, a preview and a
// write) holds them first with image.copy_memory().
struct Loaded {
    Image image;
    Metadata metadata;
};

// Images larger than this are refused before anything is decoded: a few kilobytes of PNG can
// declare billions of pixels. 250 megapixels is about 1 GB when an operation must hold the
// image in memory, and well above any camera or stitched panorama people convert.
inline constexpr std::int64_t maxPixels = 250'000'000;

// Loads url scaled by scale (at most 1), each side rounded; a JPEG is decoded directly at the
// nearest larger power-of-two reduction, which is several times faster than decoding it whole.
Loaded load(const Path& url, double scale = 1);
// Writes image to url as ext ("jpg", "png", "ico", "pdf"…) at quality 0…1 with metadata.
void write(Image image, const Path& url, const std::string& ext, double quality, const Metadata& metadata);
bool canWrite(const std::string& ext);
// The MIME type registered for a file extension, standing for the platform's type identifier.
std::optional<std::string> utType(const std::string& ext);
// The types libvips can save on this machine (its savers' suffixes, ImageMagick's for ico,
// and for HEIF only the compressions libheif can encode here), found once.
const std::set<std::string>& writableTypes();

Image resize(const Image& image, double scale);
Image rotateClockwise(const Image& image);
Image flipHorizontal(const Image& image);
Image grayscale(const Image& image);
// Puts transparent parts on opaque white.
Image flatten(const Image& image);
// A transparent square of side min(longer side, side) with the image scaled into its middle.
Image squareIcon(const Image& image, int side);

// The entry points of the option tables: each writes one new file beside its source and
// returns it (combineToPDF one file for all of them).
//
// The image in another format, keeping its metadata, at quality 0.9.
Path convert(const Path& url, const std::string& ext);
// The edits of the tools page. Results keep the source's format (png when that cannot be
// written) and are named by the edit: "photo (rotated).jpg".
enum class Edit { halve, rotate, flip, grayscale, stripMetadata };
Path transform(const Path& url, Edit edit);

// One page per image; the longer side is at most 792 points and images are never enlarged.
void writePDF(const std::vector<Image>& images, const Path& url);
Path combineToPDF(const Paths& urls);
// A smaller copy: at most 4096 pixels on the longer side, lossy format, quality 0.6.
Path compress(const Path& url);
// A copy under maxBytes, or none when the file already is.
std::optional<Path> fit(const Path& url, std::int64_t maxBytes);
}
