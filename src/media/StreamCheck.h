#pragma once
#include "core/Paths.h"

// Refusals made before any output is reserved, so that a file without the stream an operation
// works on gets a sentence instead of an empty output or ffmpeg's wording. A file the media
// kit cannot open passes: ffmpeg may still read it and reports its own failure.
namespace MediaOps {
// Throws "<name> has no sound".
void requireSound(const Path& url);
// Throws "This video has no frames".
void requirePicture(const Path& url);
}
