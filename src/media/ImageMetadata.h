#pragma once
#include <string>

// The metadata blocks a photo keeps once its pixels are turned upright: neither may still ask
// a viewer to turn them. Both read blocks straight from untrusted files.
namespace ImageMetadata {
// The EXIF block without its orientation tag; the block as it was when it has none or
// cannot be read.
std::string withoutOrientation(const std::string& exif);
// The XMP packet with every tiff:Orientation of 2 to 8 set to 1.
std::string xmpUpright(std::string xmp);
}
