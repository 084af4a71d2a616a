#pragma once
#include "core/Paths.h"

#include <QImage>

// A preview of a file for the shelf, fitted inside side × side pixels: images through the
// image engine, videos by their first frame, PDFs by their first page, anything else (or
// anything that fails) by its theme icon. Any thread but the icon's: the caller draws the
// icon itself when this is null.
namespace ShelfThumbnail {
QImage make(const Path& file, int side);
}
