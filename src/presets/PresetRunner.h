#pragma once
#include "core/Paths.h"
#include "presets/Preset.h"

#include <optional>
#include <string>
#include <vector>

// Carries out one preset on one file: the work of a preset's option on the wheel and of a
// watch folder. Blocks; call it on a worker thread.
namespace PresetRunner {
// Writes "<name> (<preset name>).<format>" and returns it: in folder when given, else where
// outputs go (Output). Throws KError; nothing is left behind on failure.
Path run(const Preset& preset, const Path& url, const std::optional<Path>& folder = std::nullopt);

// The ffmpeg codec and filter arguments of a video preset (they go between input and output).
std::vector<std::string> videoArgs(const Preset& preset);
// The ffmpeg codec arguments of an audio preset: the format's defaults with the preset's bit
// rate (lossy formats) and channel count.
std::vector<std::string> audioArgs(const Preset& preset);
// The in-process conversion row of an audio preset when ffmpeg is missing; none when the
// format has no such row.
std::optional<std::vector<std::string>> afconvertArgs(const Preset& preset);
}
