#include "presets/Preset.h"
#include "presets/StoredJSON.h"

#include <cmath>

namespace PresetJSON {

using namespace StoredJSON;

std::string encode(const std::vector<Preset>& presets)
{
    return encodeList(presets, [](const Preset& p) {
        Object object;
        object["id"] = uuidText(p.id);
        object["name"] = p.name;
        object["kind"] = PresetKinds::rawValue(p.kind);
        object["format"] = p.format;
        // A non-finite quality has no JSON form and would make the whole list unreadable: it
        // is stored as the default. The editor never makes one.
        object["quality"] = std::isfinite(p.quality) ? p.quality : Preset{}.quality;
        object["maxDimension"] = p.maxDimension;
        object["stripMetadata"] = p.stripMetadata;
        object["maxHeight"] = p.maxHeight;
        object["videoQuality"] = VideoQualities::rawValue(p.videoQuality);
        object["mute"] = p.mute;
        object["bitrate"] = p.bitrate;
        object["mono"] = p.mono;
        return object;
    });
}

std::optional<std::vector<Preset>> decode(const std::string& json)
{
    return decodeList<Preset>(json, [](const Json& object) {
        const auto required = [](auto parsed) {
            if (!parsed) throw Invalid{};
            return *parsed;
        };
        Preset p;
        p.id = uuid(object, "id");
        p.name = string(object, "name");
        p.kind = required(PresetKinds::fromRawValue(string(object, "kind")));
        p.format = string(object, "format");
        p.quality = number(object, "quality");
        p.maxDimension = integer(object, "maxDimension");
        p.stripMetadata = boolean(object, "stripMetadata");
        p.maxHeight = integer(object, "maxHeight");
        p.videoQuality = required(VideoQualities::fromRawValue(string(object, "videoQuality")));
        p.mute = boolean(object, "mute");
        p.bitrate = integer(object, "bitrate");
        p.mono = boolean(object, "mono");
        return p;
    });
}

}
