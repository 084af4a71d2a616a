#include "media/MediaOps.h"

#include "core/Errors.h"
#include "core/FileKind.h"
#include "core/Output.h"
#include "core/Shell.h"
#include "core/Tools.h"
#include "media/AudioConvert.h"
#include "media/MediaFrames.h"

namespace MediaOps {

namespace {
using MediaKit::FileType;
using MediaKit::Preset;

// How the kit writes each target of a native video.
struct VideoExport {
    Preset preset;
    FileType type;
};
const std::map<std::string, VideoExport>& videoExports()
{
    static const std::map<std::string, VideoExport> rows = {
        {"mp4", {Preset::highestQuality, FileType::mpeg4}},
        {"mov", {Preset::highestQuality, FileType::quickTimeMovie}},
        {"m4v", {Preset::highestQuality, FileType::appleM4V}},
        {"m4a", {Preset::appleM4A, FileType::appleM4A}},
    };
    return rows;
}
}

Path convert(const Path& source, const std::string& ext)
{
    return Output::produce(source, ext, "", [&](const Path& out) {
        const bool native = isNative(source);
        const bool video = FileKinds::of(source) == FileKind::video;
        const auto exported = videoExports().find(ext);
        const auto row = afconvertArgs().find(ext);
        if (native && video && exported != videoExports().end()) exportMedia(source, out, exported->second.preset, exported->second.type);
        else if (native && video && ext == "gif") makeGIF(source, out, 12, 480, 20);
        else if (native && !video && row != afconvertArgs().end()) afconvert(source, out, row->second);
        else ffmpeg(source, out, ffmpegArgs(ext));
    });
}

void exportMedia(const Path& source, const Path& out, MediaKit::Preset preset, MediaKit::FileType type, const MediaKit::ExportOptions& options)
{
    Output::Pending pending(out);
    MediaKit::ExportSession(source, preset, options).write(out, type);
    pending.keep();
}

void ffmpeg(const Path& source, const Path& out, const Args& args)
{
    Output::Pending pending(out);
    const auto program = Tools::ffmpeg();
    if (!program) throw KError("This needs ffmpeg — install it with: sudo apt install ffmpeg");
    Args all = {"-y", "-hide_banner", "-loglevel", "error", "-i", absoluteNormal(source).string()};
    all.insert(all.end(), args.begin(), args.end());
    all.push_back(absoluteNormal(out).string());
    Shell::run(*program, all);
    pending.keep();
}

void afconvert(const Path& source, const Path& out, const Args& args)
{
    Output::Pending pending(out);
    MediaKit::convertAudio(source, out, args);
    pending.keep();
}

void makeGIF(const Path& source, const Path& out, double fps, int maxSide, double maxDuration)
{
    Output::Pending pending(out);
    MediaKit::makeGIF(source, out, fps, maxSide, maxDuration);
    pending.keep();
}

}
