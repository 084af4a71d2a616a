#pragma once
#include "presets/Preset.h"

#include <optional>

// The three recipes behind PresetRunner::run, one per preset kind.
namespace PresetRoads {
// Reserves the output: "<stem> (<preset name>).<format>" in folder, else where outputs go.
Path reserve(const Preset& preset, const Path& url, const std::optional<Path>& folder);
Path image(const Preset& preset, const Path& url, const std::optional<Path>& folder);
Path video(const Preset& preset, const Path& url, const std::optional<Path>& folder);
Path audio(const Preset& preset, const Path& url, const std::optional<Path>& folder);
}
