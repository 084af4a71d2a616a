#include "media/MediaTools.h"

#include "core/Errors.h"
#include "core/FileKind.h"
#include "core/Output.h"
#include "core/Tools.h"
#include "media/MediaFrames.h"
#include "media/MediaOps.h"
#include "media/StreamCheck.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace MediaOps {

namespace {
using MediaKit::FileType;
using MediaKit::Preset;

bool isNativeVideo(const Path& url)
{
    return isNative(url) && FileKinds::of(url) == FileKind::video;
}

std::string seconds(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

Args followedBy(Args args, const Args& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}
}

Path compressVideo(const Path& url)
{
    return Output::produce(url, "mp4", "compressed", [&](const Path& out) {
        if (isNative(url)) exportMedia(url, out, Preset::hevcHighestQuality, FileType::mpeg4);
        else ffmpeg(url, out, {"-c:v", "libx264", "-crf", "28", "-preset", "slow", "-pix_fmt", "yuv420p", "-c:a", "aac", "-b:a", "128k", "-movflags", "+faststart"});
    });
}

Path downscaleVideo(const Path& url)
{
    return Output::produce(url, "mp4", "720p", [&](const Path& out) {
        if (isNative(url)) exportMedia(url, out, Preset::size1280x720, FileType::mpeg4);
        else ffmpeg(url, out, {"-vf", "scale=-2:'min(720,ih)'", "-c:v", "libx264", "-crf", "22", "-c:a", "aac"});
    });
}

Path mute(const Path& url)
{
    const bool native = isNative(url);
    return Output::produce(url, native ? "mov" : lowerExt(url), "muted", [&](const Path& out) {
        MediaKit::ExportOptions silent;
        silent.mute = true;
        if (native) exportMedia(url, out, Preset::passthrough, FileType::quickTimeMovie, silent);
        else ffmpeg(url, out, {"-an", "-c:v", "copy"});
    });
}

Path trim(const Path& url, double from, double to)
{
    const std::string ext = lowerExt(url);
    MediaKit::ExportOptions range;
    range.timeRange = MediaKit::TimeRange{from, to};
    if (isNativeVideo(url)) {
        const FileType type = ext == "mp4" ? FileType::mpeg4 : ext == "m4v" ? FileType::appleM4V : FileType::quickTimeMovie;
        const std::string outExt = ext == "mp4" || ext == "m4v" ? ext : "mov";
        return Output::produce(url, outExt, "trimmed", [&](const Path& out) { exportMedia(url, out, Preset::passthrough, type, range); });
    }
    if (isNative(url) && ext == "m4a") {
        return Output::produce(url, "m4a", "trimmed", [&](const Path& out) { exportMedia(url, out, Preset::appleM4A, FileType::appleM4A, range); });
    }
    if (!Tools::ffmpeg()) throw KError("Trimming ." + ext + " needs ffmpeg");
    const Args rest = FileKinds::of(url) == FileKind::video ? Args{"-c", "copy"} : ffmpegArgs(ext);
    return Output::produce(url, ext, "trimmed", [&](const Path& out) { ffmpeg(url, out, followedBy({"-ss", seconds(from), "-to", seconds(to)}, rest)); });
}

std::string cropFilter(const CropRect& rect)
{
    const int w = static_cast<int>(rect.width) / 2 * 2;
    const int h = static_cast<int>(rect.height) / 2 * 2;
    return "crop=" + std::to_string(w) + ":" + std::to_string(h) + ":" + std::to_string(static_cast<int>(rect.x)) + ":" +
           std::to_string(static_cast<int>(rect.y));
}

Path cropVideo(const Path& url, const CropRect& rect)
{
    if (!Tools::ffmpeg()) throw KError("Cropping video needs ffmpeg — install it with: sudo apt install ffmpeg");
    static const std::set<std::string> kept = {"mp4", "mov", "mkv", "webm"};
    const std::string ext = kept.count(lowerExt(url)) ? lowerExt(url) : "mp4";
    return Output::produce(url, ext, "cropped", [&](const Path& out) { ffmpeg(url, out, followedBy({"-vf", cropFilter(rect)}, ffmpegArgs(ext))); });
}

Path stripMetadata(const Path& url)
{
    const std::string ext = lowerExt(url);
    if (Tools::ffmpeg()) {
        Args args = {"-map", "0:a?", "-map", "0:v:0?", "-map_metadata", "-1", "-map_chapters", "-1", "-c", "copy"};
        if (ext == "mp4" || ext == "mov" || ext == "m4a" || ext == "m4v") args = followedBy(args, {"-movflags", "+faststart"});
        return Output::produce(url, ext, "clean", [&](const Path& out) { ffmpeg(url, out, args); });
    }
    if (FileKinds::of(url) != FileKind::video) {
        const auto row = afconvertArgs().find(ext);
        const bool same = row != afconvertArgs().end();
        const Args& args = same ? row->second : afconvertArgs().at("m4a");
        return Output::produce(url, same ? ext : "m4a", "clean", [&](const Path& out) { afconvert(url, out, args); });
    }
    MediaKit::ExportOptions untagged;
    untagged.stripMetadata = true;
    return Output::produce(url, "mov", "clean", [&](const Path& out) { exportMedia(url, out, Preset::passthrough, FileType::quickTimeMovie, untagged); });
}

Path frameGrab(const Path& url)
{
    requirePicture(url);
    return Output::produce(url, "png", "frame", [&](const Path& out) {
        if (isNative(url)) {
            ImageOps::write(MediaKit::frameAt(url, std::min(duration(url) / 2, 1.0)), out, "png", 0.9, {});
            return;
        }
        ffmpeg(url, out, {"-ss", "1", "-frames:v", "1"});
        // ffmpeg succeeds without a picture when the clip ends before the second.
        if (Output::size(out) == 0) throw KError("This video has no frames");
    });
}

}
