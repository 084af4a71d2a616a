#include "media/MediaOps.h"

#include "core/Tools.h"

#include <algorithm>

namespace MediaOps {

namespace {
// Appends the entries of more that are not in list yet, in order.
void appendNew(std::vector<std::string>& list, const std::vector<std::string>& more)
{
    for (const std::string& ext : more) {
        if (std::find(list.begin(), list.end(), ext) == list.end()) list.push_back(ext);
    }
}

std::vector<std::string> targets(const Path& url, const std::vector<std::string>& native, const std::vector<std::string>& withFfmpeg)
{
    std::vector<std::string> list;
    if (isNative(url)) appendNew(list, native);
    if (Tools::ffmpeg()) appendNew(list, withFfmpeg);
    std::erase(list, lowerExt(url));
    return list;
}
}

const std::set<std::string>& nativeReadable()
{
    static const std::set<std::string> exts = {"mp4", "mov", "m4v", "3gp", "m4a", "mp3", "wav", "aif", "aiff", "aifc", "caf", "aac", "flac", "amr"};
    return exts;
}

bool isNative(const Path& url)
{
    return nativeReadable().count(lowerExt(url)) > 0;
}

const std::map<std::string, Args>& afconvertArgs()
{
    static const std::map<std::string, Args> rows = {
        {"m4a", {"-f", "m4af", "-d", "aac", "-b", "256000"}},
        {"wav", {"-f", "WAVE", "-d", "LEI16"}},
        {"aiff", {"-f", "AIFF", "-d", "BEI16"}},
        {"flac", {"-f", "flac", "-d", "flac"}},
    };
    return rows;
}

Args ffmpegArgs(const std::string& ext)
{
    if (ext == "mp4" || ext == "m4v" || ext == "mov") {
        return {"-c:v", "libx264", "-crf", "20", "-preset", "medium", "-pix_fmt", "yuv420p", "-c:a", "aac", "-b:a", "192k", "-movflags", "+faststart"};
    }
    static const std::map<std::string, Args> rows = {
        {"webm", {"-c:v", "libvpx-vp9", "-crf", "32", "-b:v", "0", "-c:a", "libopus", "-b:a", "128k"}},
        {"mkv", {"-c:v", "libx264", "-crf", "20", "-c:a", "aac"}},
        {"avi", {"-c:v", "mpeg4", "-q:v", "3", "-c:a", "libmp3lame", "-q:a", "3"}},
        {"gif", {"-t", "20", "-vf", "fps=12,scale='min(480,iw)':-2:flags=lanczos,split[a][b];[a]palettegen[p];[b][p]paletteuse", "-loop", "0"}},
        {"mp3", {"-vn", "-c:a", "libmp3lame", "-q:a", "2"}},
        {"m4a", {"-vn", "-c:a", "aac", "-b:a", "256k"}},
        {"wav", {"-vn", "-c:a", "pcm_s16le"}},
        {"aiff", {"-vn", "-c:a", "pcm_s16be"}},
        {"flac", {"-vn", "-c:a", "flac"}},
        {"opus", {"-vn", "-c:a", "libopus", "-b:a", "128k"}},
        {"wma", {"-vn", "-c:a", "wmav2", "-b:a", "192k"}},
        {"wmv", {"-c:v", "wmv2", "-b:v", "5M", "-c:a", "wmav2", "-b:a", "192k"}},
    };
    if (ext == "ogg") {
        if (Tools::ffmpegHas("libvorbis")) return {"-vn", "-c:a", "libvorbis", "-q:a", "5"};
        return {"-vn", "-c:a", "libopus", "-b:a", "160k"};
    }
    const auto row = rows.find(ext);
    return row == rows.end() ? Args{} : row->second;
}

std::vector<std::string> videoTargets(const Path& url)
{
    return targets(url, {"mp4", "mov", "gif", "m4a"}, {"mp4", "mov", "mkv", "webm", "avi", "wmv", "gif", "mp3", "m4a", "wav"});
}

std::vector<std::string> audioTargets(const Path& url)
{
    std::vector<std::string> list = targets(url, {"m4a", "wav", "aiff", "flac"}, {"mp3", "m4a", "wav", "flac", "aiff", "ogg", "opus", "wma"});
    if (lowerExt(url) == "aif") std::erase(list, "aiff");
    return list;
}

}
