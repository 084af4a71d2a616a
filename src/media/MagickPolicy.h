#pragma once

// ImageMagick reads the images libvips cannot. Left to itself it also renders scripted and
// vector formats (SVG, MVG, MSL, TEXT…), follows their references to other files and URLs,
// and runs helper programs: a picture file from the internet could show any file the user can
// read, or crash the process. Varnolt gives it a policy of its own that allows reading only
// legacy raster formats (and writing icons), with its scratch files in a private folder that
// goes away when the process ends.
namespace MagickPolicy {
// Writes the policy where ImageMagick looks for it when it starts. False when it could not be
// written; ImageMagick must then not read any file.
bool confine();
}
