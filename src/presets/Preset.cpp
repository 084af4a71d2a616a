// libvips first: glib names a field "signals", which Qt's headers define away.
#include "media/ImageOps.h"
#include "presets/Preset.h"

#include "core/EnumTable.h"

namespace {
struct KindRow {
    Preset::Kind value;
    const char* raw;
    FileKind fileKind;
};
constexpr std::array<KindRow, 3> kinds = {{
    {Preset::Kind::image, "image", FileKind::image},
    {Preset::Kind::video, "video", FileKind::video},
    {Preset::Kind::audio, "audio", FileKind::audio},
}};

struct QualityRow {
    Preset::VideoQuality value;
    const char* raw;
    const char* word;
};
constexpr std::array<QualityRow, 3> qualities = {{
    {Preset::VideoQuality::high, "high", "High"},
    {Preset::VideoQuality::medium, "medium", "Medium"},
    {Preset::VideoQuality::small, "small", "Small"},
}};

const char* const separator = " · ";
}

namespace PresetKinds {
const std::vector<Preset::Kind>& allCases()
{
    static const std::vector<Preset::Kind> cases = EnumTable::cases(kinds);
    return cases;
}
std::string rawValue(Preset::Kind kind) { return EnumTable::row(kinds, kind).raw; }
std::optional<Preset::Kind> fromRawValue(const std::string& raw) { return EnumTable::parse(kinds, raw); }
FileKind fileKind(Preset::Kind kind) { return EnumTable::row(kinds, kind).fileKind; }
}

namespace VideoQualities {
const std::vector<Preset::VideoQuality>& allCases()
{
    static const std::vector<Preset::VideoQuality> cases = EnumTable::cases(qualities);
    return cases;
}
std::string rawValue(Preset::VideoQuality quality) { return EnumTable::row(qualities, quality).raw; }
std::optional<Preset::VideoQuality> fromRawValue(const std::string& raw) { return EnumTable::parse(qualities, raw); }
std::string word(Preset::VideoQuality quality) { return EnumTable::row(qualities, quality).word; }
}

Preset Preset::added()
{
    Preset preset;
    preset.id = QUuid::createUuid();
    const std::vector<std::string> images = formats(Kind::image);
    preset.format = images.empty() ? "jpg" : images.front();
    return preset;
}

std::vector<std::string> Preset::formats(Kind kind)
{
    switch (kind) {
    case Kind::image: {
        std::vector<std::string> writable;
        for (const char* ext : {"jpg", "png", "heic", "webp", "avif"}) {
            if (ImageOps::canWrite(ext)) writable.push_back(ext);
        }
        return writable;
    }
    case Kind::video: return {"mp4", "mov", "webm", "gif"};
    case Kind::audio: return {"mp3", "m4a", "opus", "flac", "wav"};
    }
    return {};
}

std::string Preset::summary() const
{
    std::vector<std::string> parts = {upperAscii(format)};
    switch (kind) {
    case Kind::image:
        if (format != "png") parts.push_back(std::to_string(static_cast<std::int64_t>(quality * 100)) + "%");
        if (maxDimension >= 1) parts.push_back("max " + std::to_string(maxDimension) + "px");
        if (stripMetadata) parts.push_back("no metadata");
        break;
    case Kind::video:
        if (maxHeight >= 1) parts.push_back(std::to_string(maxHeight) + "p");
        if (format != "gif") parts.push_back(VideoQualities::rawValue(videoQuality) + " size");
        if (mute) parts.push_back("muted");
        break;
    case Kind::audio:
        if (format != "flac" && format != "wav") parts.push_back(std::to_string(bitrate) + " kbps");
        if (mono) parts.push_back("mono");
        break;
    }
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : separator) + part;
    return text;
}
