#pragma once
#include "media/ImageOps.h"

// Lossy WebP written while the pixels decode: strips of rows go straight into libwebp's YUV
// planes, so a photo is never held as decoded RGB next to its encoder's buffers. The file is
// byte for byte what libvips' webpsave writes for the same image and quality: the same
// conversion, encoder settings, and ICC, EXIF and XMP chunks.
namespace WebPSave {
// Whether this writer takes the image: 8-bit RGB or RGBA. Others go through libvips' saver.
bool takes(const ImageOps::Image& image);
// Writes image, with the metadata fields it carries, to url at quality q (0…100). Throws
// vips::VError when the pixels cannot be had (a damaged source), KError "Couldn't write .webp"
// when libwebp refuses them.
void save(const ImageOps::Image& image, const Path& url, int q);
}
