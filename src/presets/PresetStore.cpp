// libvips first: glib names a field "signals", which Qt's headers define away.
#include "media/ImageOps.h"
#include "presets/PresetStore.h"

#include "core/Settings.h"
#include "presets/StoredList.h"

#include <algorithm>

namespace PresetStore {

std::vector<Preset> all()
{
    const auto stored = StoredList::read(SettingsKey::presets);
    if (!stored) return {};
    return PresetJSON::decode(*stored).value_or(std::vector<Preset>{});
}

void setAll(const std::vector<Preset>& presets)
{
    StoredList::write(SettingsKey::presets, PresetJSON::encode(presets),
                      [](const std::string& json) { return PresetJSON::decode(json).has_value(); });
}

std::vector<Preset> seeded()
{
    Preset web;
    web.id = QUuid::createUuid();
    web.name = "Web";
    web.kind = Preset::Kind::image;
    web.format = ImageOps::canWrite("webp") ? "webp" : "jpg";
    web.maxDimension = 1600;
    web.stripMetadata = true;

    Preset email;
    email.id = QUuid::createUuid();
    email.name = "Email";
    email.kind = Preset::Kind::video;
    email.format = "mp4";
    email.maxHeight = 720;
    email.videoQuality = Preset::VideoQuality::small;
    return {web, email};
}

void seedIfNeeded()
{
    if (!StoredList::read(SettingsKey::presets)) setAll(seeded());
}

std::vector<Preset> presets(FileKind kind)
{
    std::vector<Preset> offered;
    for (const Preset& preset : all()) {
        if (PresetKinds::fileKind(preset.kind) != kind) continue;
        const std::vector<std::string> formats = Preset::formats(preset.kind);
        if (std::find(formats.begin(), formats.end(), preset.format) != formats.end()) offered.push_back(preset);
    }
    return offered;
}

std::optional<Preset> find(const QUuid& id)
{
    for (const Preset& preset : all()) {
        if (preset.id == id) return preset;
    }
    return std::nullopt;
}

}
