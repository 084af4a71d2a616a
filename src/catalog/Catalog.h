#pragma once
#include "catalog/CatalogFrame.h"
#include "core/WheelMode.h"

#include <optional>
#include <string>

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

// The first option of the page whose title equals title without regard to case ("png" and
// "fit 10 mb" choose "PNG" and "Fit 10 MB"), or none.
std::optional<WheelOption> find(const WheelOptions& options, const std::string& title);
// "No option 'title'. Available: " and the titles of the page, joined by ", ".
std::string noOption(const std::string& title, const WheelOptions& options);
}
