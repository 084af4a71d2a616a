#pragma once
#include "catalog/CatalogFrame.h"
#include "core/WheelMode.h"

// Which options the wheel, the menus and the command line offer for a selection.
namespace Catalog {
// Presets first on the convert page, then the page's table; at most twelve.
WheelOptions options(const Paths& urls, WheelMode mode);
WheelOptions presetOptions(FileKind kind);
WheelOptions convertOptions(FileKind kind, const Paths& urls);
WheelOptions toolOptions(FileKind kind, const Paths& urls);
WheelOptions actionOptions(const Paths& urls);
// "ZIP" and "TAR.GZ": the whole selection packed into one archive.
WheelOptions compressOptions(const Paths& urls);
}
