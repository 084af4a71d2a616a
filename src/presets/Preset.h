#pragma once
#include "core/FileKind.h"

#include <QUuid>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A user's saved recipe: one target format with fixed settings for images, videos or sounds.
// Every preset carries all fields whatever its kind; the runner reads those of its kind.
struct Preset {
    enum class Kind { image, video, audio };
    enum class VideoQuality { high, medium, small };

    QUuid id;
    std::string name;
    Kind kind = Kind::image;
    std::string format = "jpg";  // extension, lower case, without the dot
    double quality = 0.8;        // image encoder quality, 0…1
    std::int64_t maxDimension = 0;  // image: longest side in pixels; 0 or less keeps the size
    bool stripMetadata = false;
    std::int64_t maxHeight = 0;  // video: height cap in pixels; 0 or less keeps the size
    VideoQuality videoQuality = VideoQuality::medium;
    bool mute = false;
    std::int64_t bitrate = 192;  // audio, kbit/s
    bool mono = false;

    bool operator==(const Preset&) const = default;

    // What "Add Preset" starts from: a fresh id, an image preset in the first writable format.
    static Preset added();
    // The targets offered and accepted for a kind, in order; image formats only while they
    // can be written here.
    static std::vector<std::string> formats(Kind kind);
    // "WEBP · 80% · max 1600px · no metadata".
    std::string summary() const;
};

namespace PresetKinds {
const std::vector<Preset::Kind>& allCases();
std::string rawValue(Preset::Kind kind);
std::optional<Preset::Kind> fromRawValue(const std::string& raw);
// The file kind a preset kind applies to (image, video, audio by position).
FileKind fileKind(Preset::Kind kind);
}

namespace VideoQualities {
const std::vector<Preset::VideoQuality>& allCases();
std::string rawValue(Preset::VideoQuality quality);
std::optional<Preset::VideoQuality> fromRawValue(const std::string& raw);
// "High", "Medium", "Small".
std::string word(Preset::VideoQuality quality);
}

// The stored form: one compact JSON array, each object with exactly the twelve keys in field
// order, ids as upper-case canonical UUIDs.
namespace PresetJSON {
std::string encode(const std::vector<Preset>& presets);
// None when the document is not such an array, a key is missing, or a raw value names no case.
std::optional<std::vector<Preset>> decode(const std::string& json);
}
