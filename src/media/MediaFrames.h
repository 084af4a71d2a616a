#pragma once
#include "core/Paths.h"
#include "media/ImageOps.h"

namespace MediaKit {
// The picture shown at `seconds` (the last frame that starts at or before it), upright and
// with square pixels, as 8-bit RGB. Throws "This video has no frames" for a file without
// pictures, or the read failure.
ImageOps::Image frameAt(const Path& source, double seconds);

// An animated GIF of the first maxDuration seconds at fps frames per second, fitted inside
// maxSide × maxSide, upright, with a palette made from the clip itself, looping for ever.
// Throws "This video has no frames" when fps × the length covered is under one frame.
void makeGIF(const Path& source, const Path& out, double fps, int maxSide, double maxDuration);
}
