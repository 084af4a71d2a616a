#pragma once
#include "core/Paths.h"

#include <optional>

// The picture the welcome window offers to try the wheel on.
namespace SampleFile {
// "Sample Photo.png" in ~/.local/share/Varnolt/Sample, drawn on first use;
// none when it cannot be made.
std::optional<Path> url();
}
