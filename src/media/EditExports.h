#pragma once
// libvips before Qt: glib's headers use the word Qt takes for signals.
#include "media/ImageOps.h"

#include "core/Editing.h"
#include "core/Paths.h"

#include <QImage>

// The work behind the crop and trim editors: each writes one new file beside its source.
namespace EditExports {
// What the crop editor shows: an image, or a video's first frame, upright, scaled down to at
// most maxSide pixels a side; and the size of the whole picture, in which a crop is given.
struct Picture {
    QImage preview;
    int width = 0, height = 0;
};
Picture picture(const Path& url, int maxSide);

// The image cut to rect, in the source's format (png when that cannot be written), metadata
// kept, suffix "cropped". Throws when rect does not lie inside the picture or is empty.
Path cropImage(const Path& url, const Editing::Rect& rect);
// The video cut to rect (even width and height), suffix "cropped"; and the part from `from` to
// `to` seconds, suffix "trimmed". An editor's choice is checked before the media tools run it.
Path cropVideo(const Path& url, const Editing::Rect& rect);
Path trim(const Path& url, double from, double to);
}
