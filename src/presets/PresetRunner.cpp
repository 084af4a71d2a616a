// libvips first: glib names a field "signals", which Qt's headers define away.
#include "media/ImageOps.h"
#include "presets/PresetRunner.h"

#include "core/Output.h"
#include "presets/PresetRoads.h"

#include <algorithm>

namespace PresetRoads {

Path reserve(const Preset& preset, const Path& url, const std::optional<Path>& folder)
{
    if (!folder) return Output::url(url, preset.format, preset.name);
    Path stem = url.filename();
    stem.replace_extension();
    return Output::unique(*folder, stem.string() + " (" + preset.name + ")", preset.format);
}

Path image(const Preset& preset, const Path& url, const std::optional<Path>& folder)
{
    ImageOps::Loaded loaded = ImageOps::load(url);
    const int longer = std::max(loaded.image.width(), loaded.image.height());
    if (preset.maxDimension >= 1 && longer > preset.maxDimension) {
        loaded.image = ImageOps::resize(loaded.image, static_cast<double>(preset.maxDimension) / longer);
    }
    Output::Pending out(reserve(preset, url, folder));
    ImageOps::write(loaded.image, out.path(), preset.format, preset.quality, preset.stripMetadata ? ImageOps::Metadata{} : loaded.metadata);
    return out.keep();
}

}

namespace PresetRunner {

Path run(const Preset& preset, const Path& url, const std::optional<Path>& folder)
{
    switch (preset.kind) {
    case Preset::Kind::image: return PresetRoads::image(preset, url, folder);
    case Preset::Kind::video: return PresetRoads::video(preset, url, folder);
    case Preset::Kind::audio: return PresetRoads::audio(preset, url, folder);
    }
    return {};
}

}
