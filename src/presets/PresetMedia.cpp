// libvips first (through MediaOps): glib names a field "signals", which Qt's headers define away.
#include "media/MediaOps.h"
#include "presets/PresetRunner.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "core/Tools.h"
#include "presets/PresetRoads.h"

#include <algorithm>

namespace {
using MediaKit::FileType;
using VideoQuality = Preset::VideoQuality;

std::string needsFfmpeg(const std::string& format)
{
    return "." + format + " needs ffmpeg — install it with: sudo apt install ffmpeg";
}

// Never enlarges; the width follows, rounded to an even number.
std::string scaleFilter(std::int64_t maxHeight)
{
    return "scale=-2:'min(" + std::to_string(maxHeight) + ",ih)'";
}

int crf(VideoQuality quality, bool vp9)
{
    switch (quality) {
    case VideoQuality::high: return vp9 ? 30 : 20;
    case VideoQuality::medium: return vp9 ? 36 : 25;
    case VideoQuality::small: return vp9 ? 42 : 30;
    }
    return vp9 ? 36 : 25;
}

// The media kit's export preset for a height cap: the box that holds it, else the best quality.
MediaKit::Preset exportPreset(const Preset& preset)
{
    using Kit = MediaKit::Preset;
    if (preset.maxHeight >= 1 && preset.maxHeight <= 480) return Kit::size640x480;
    if (preset.maxHeight >= 481 && preset.maxHeight <= 720) return Kit::size1280x720;
    if (preset.maxHeight >= 721 && preset.maxHeight <= 1080) return Kit::size1920x1080;
    return preset.videoQuality == VideoQuality::high ? Kit::highestQuality : Kit::hevcHighestQuality;
}

bool lossless(const std::string& format)
{
    return format == "flac" || format == "wav";
}
}

namespace PresetRunner {

std::vector<std::string> videoArgs(const Preset& preset)
{
    const bool scaled = preset.maxHeight >= 1;
    if (preset.format == "gif") {
        const std::string side = std::to_string(scaled ? preset.maxHeight : 360);
        return {"-t", "20", "-vf", "fps=12,scale=-2:'min(" + side + ",ih)':flags=lanczos,split[a][b];[a]palettegen[p];[b][p]paletteuse", "-loop", "0"};
    }
    const bool vp9 = preset.format == "webm";
    std::vector<std::string> args = vp9 ? std::vector<std::string>{"-c:v", "libvpx-vp9", "-crf", std::to_string(crf(preset.videoQuality, true)), "-b:v", "0"}
                                        : std::vector<std::string>{"-c:v", "libx264", "-crf", std::to_string(crf(preset.videoQuality, false)), "-preset", "medium", "-pix_fmt", "yuv420p"};
    if (scaled) args.insert(args.end(), {"-vf", scaleFilter(preset.maxHeight)});
    if (preset.mute) args.push_back("-an");
    else if (vp9) args.insert(args.end(), {"-c:a", "libopus", "-b:a", "128k"});
    else args.insert(args.end(), {"-c:a", "aac", "-b:a", "128k"});
    if (!vp9) args.insert(args.end(), {"-movflags", "+faststart"});
    return args;
}

std::vector<std::string> audioArgs(const Preset& preset)
{
    std::vector<std::string> args = MediaOps::ffmpegArgs(preset.format);
    if (!lossless(preset.format)) {
        const auto rate = std::find_if(args.begin(), args.end(), [](const std::string& a) { return a == "-q:a" || a == "-b:a"; });
        if (rate != args.end()) args.erase(rate, std::min(rate + 2, args.end()));
        args.insert(args.end(), {"-b:a", std::to_string(preset.bitrate) + "k"});
    }
    if (preset.mono) args.insert(args.end(), {"-ac", "1"});
    return args;
}

std::optional<std::vector<std::string>> afconvertArgs(const Preset& preset)
{
    const auto row = MediaOps::afconvertArgs().find(preset.format);
    if (row == MediaOps::afconvertArgs().end()) return std::nullopt;
    std::vector<std::string> args = row->second;
    const auto rate = std::find(args.begin(), args.end(), "-b");
    if (rate != args.end() && rate + 1 != args.end()) *(rate + 1) = std::to_string(preset.bitrate * 1000);
    if (preset.mono) args.insert(args.end(), {"-c", "1"});
    return args;
}

}

namespace PresetRoads {

Path video(const Preset& preset, const Path& url, const std::optional<Path>& folder)
{
    Output::Pending out(reserve(preset, url, folder));
    if (Tools::ffmpeg()) {
        MediaOps::ffmpeg(url, out.path(), PresetRunner::videoArgs(preset));
        return out.keep();
    }
    if (!MediaOps::isNative(url)) throw KError("This video needs ffmpeg — install it with: sudo apt install ffmpeg");
    if (preset.format == "gif") {
        MediaOps::makeGIF(url, out.path(), 12, preset.maxHeight >= 1 ? static_cast<int>(preset.maxHeight) : 480, 20);
    } else if (preset.format == "mp4" || preset.format == "mov") {
        const FileType type = preset.format == "mp4" ? FileType::mpeg4 : FileType::quickTimeMovie;
        MediaKit::ExportOptions options;
        options.mute = preset.mute;
        MediaOps::exportMedia(url, out.path(), exportPreset(preset), type, options);
    } else {
        throw KError(needsFfmpeg(preset.format));
    }
    return out.keep();
}

Path audio(const Preset& preset, const Path& url, const std::optional<Path>& folder)
{
    Output::Pending out(reserve(preset, url, folder));
    if (Tools::ffmpeg()) {
        MediaOps::ffmpeg(url, out.path(), PresetRunner::audioArgs(preset));
        return out.keep();
    }
    const auto args = PresetRunner::afconvertArgs(preset);
    if (!MediaOps::isNative(url) || !args) throw KError(needsFfmpeg(preset.format));
    MediaOps::afconvert(url, out.path(), *args);
    return out.keep();
}

}
