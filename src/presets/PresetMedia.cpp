#include "presets/PresetRunner.h"

#include "core/Errors.h"
#include "presets/PresetRoads.h"

// Video and audio presets run through the media kit, which is not part of this build yet.
namespace PresetRunner {
std::vector<std::string> videoArgs(const Preset&) { return {}; }
std::vector<std::string> audioArgs(const Preset&) { return {}; }
std::optional<std::vector<std::string>> afconvertArgs(const Preset&) { return std::nullopt; }
}

namespace PresetRoads {
Path video(const Preset&, const Path&, const std::optional<Path>&) { throw KError("Video presets aren't available in this build"); }
Path audio(const Preset&, const Path&, const std::optional<Path>&) { throw KError("Audio presets aren't available in this build"); }
}
