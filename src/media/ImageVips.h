#pragma once
#include "media/ImageOps.h"

#include <QImage>

#include <optional>
#include <string>

// What the image files share inside the media layer: starting libvips, opening a file with
// the right loader, and telling a source that turns out to be undecodable from a failed write.
namespace ImageVips {
// Starts libvips once, from whichever thread asks first.
void start();
// Has libvips load its common coders and start its worker threads, which the first image
// would otherwise wait for.
void warmUp();

struct Opened {
    ImageOps::Image image;
    bool fallback = false;  // read by ImageMagick, which brings no metadata along
};
// Opens the first frame of a file through libvips' own loaders, else through ImageMagick's.
// Only the header is read; corrupt or truncated data makes the later decode fail rather than
// turn grey. A JPEG decodes directly at 1/shrink of its size (shrink 1, 2, 4 or 8). Throws
// KError "Couldn't read <name> as an image".
Opened open(const Path& url, bool sequential, int shrink = 1);
// The image at exactly width × height, filtered with Lanczos.
ImageOps::Image resized(const ImageOps::Image& image, int width, int height);
std::string cannotRead(const Path& url);

// The libvips saver for an extension, if this libvips has one.
std::optional<std::string> saverFor(const std::string& ext);
// Saves through that saver with quality 0…1: the image's metadata fields are replaced by
// `metadata`, its ICC profile stays. Throws KError "Can't create a .<ext> file" or
// "Couldn't write .<ext>" (or the source's read failure).
void save(const ImageOps::Image& image, const Path& url, const std::string& ext, double quality,
          const ImageOps::Metadata& metadata);
// quality 0…1 as the 0…100 that encoders take.
int percent(double quality);

// The pixels (8-bit sRGB or grey, with or without alpha) as a Qt image of its own.
QImage toQImage(ImageOps::Image image);

// Records which file an image came from; the mark travels through every operation.
ImageOps::Image withSource(const ImageOps::Image& image, const Path& url);
// Pixels are decoded lazily, so a damaged source first shows up in whatever pulls them.
// Throws "Couldn't read <name> as an image" when the image's source no longer decodes,
// else KError(message).
[[noreturn]] void fail(const ImageOps::Image& image, const std::string& message);
// Runs libvips work and turns its failure into fail(image, message).
template <class F>
auto guarded(const ImageOps::Image& image, const std::string& message, F&& work)
{
    try {
        return work();
    } catch (const vips::VError&) {
        fail(image, message);
    }
}
}
