#include "media/MediaTools.h"

#include "core/Output.h"
#include "media/MediaOps.h"
#include "media/StreamCheck.h"

#include <set>

namespace MediaOps {

namespace {
using MediaKit::FileType;
using MediaKit::Preset;
}

Args audioCodecArgs(const std::string& ext)
{
    Args row = ffmpegArgs(ext);
    if (!row.empty()) row.erase(row.begin());
    return row;
}

Path extractAudio(const Path& url)
{
    requireSound(url);
    return Output::produce(url, "m4a", "audio", [&](const Path& out) {
        if (isNative(url)) exportMedia(url, out, Preset::appleM4A, FileType::appleM4A);
        else ffmpeg(url, out, ffmpegArgs("m4a"));
    });
}

Path compressAudio(const Path& url)
{
    requireSound(url);
    return Output::produce(url, "m4a", "compressed", [&](const Path& out) {
        if (isNative(url)) afconvert(url, out, {"-f", "m4af", "-d", "aac", "-b", "96000"});
        else ffmpeg(url, out, {"-vn", "-c:a", "aac", "-b:a", "96k"});
    });
}

Path normalize(const Path& url)
{
    static const std::set<std::string> kept = {"mp3", "m4a", "wav", "flac", "aiff"};
    const std::string ext = kept.count(lowerExt(url)) ? lowerExt(url) : "m4a";
    requireSound(url);
    Args args = {"-vn", "-af", "loudnorm=I=-16:TP=-1.5:LRA=11"};
    const Args codec = audioCodecArgs(ext);
    args.insert(args.end(), codec.begin(), codec.end());
    return Output::produce(url, ext, "normalized", [&](const Path& out) { ffmpeg(url, out, args); });
}

Path toggleChannels(const Path& url)
{
    requireSound(url);
    const int target = channelCount(url) == 1 ? 2 : 1;
    const std::string channels = std::to_string(target);
    return Output::produce(url, "m4a", target == 2 ? "stereo" : "mono", [&](const Path& out) {
        if (isNative(url)) afconvert(url, out, {"-c", channels, "-f", "m4af", "-d", "aac", "-b", "192000"});
        else ffmpeg(url, out, {"-vn", "-ac", channels, "-c:a", "aac", "-b:a", "192k"});
    });
}

Path visualize(const Path& url)
{
    requireSound(url);
    return Output::produce(url, "mp4", "waveform", [&](const Path& out) {
        ffmpeg(url, out, {"-filter_complex", "[0:a]showwaves=s=1280x720:mode=cline:rate=30:colors=0xEC5F2B|0xF59A6B,format=yuv420p[v]", "-map", "[v]",
                          "-map", "0:a", "-c:v", "libx264", "-preset", "medium", "-crf", "23", "-c:a", "aac", "-b:a", "192k", "-shortest",
                          "-movflags", "+faststart"});
    });
}

}
