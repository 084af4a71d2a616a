#pragma once
#include "core/Paths.h"
#include "media/ExportSession.h"
#include "media/ImageOps.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// The audio and video engine. Formats in nativeReadable are read and written in process by
// the media kit (on the FFmpeg libraries); everything else, and every target the kit does not
// write, goes through the optional ffmpeg program with the argument lists below.
namespace MediaOps {
using Args = std::vector<std::string>;

// The 14 extensions the media kit promises to read.
const std::set<std::string>& nativeReadable();
// Whether the lower-cased extension of url is in nativeReadable.
bool isNative(const Path& url);
// Target extension → the format arguments of an afconvert row, done in process.
const std::map<std::string, Args>& afconvertArgs();
// Target extension → the codec arguments of an ffmpeg run; empty for targets without a row.
Args ffmpegArgs(const std::string& ext);

// The convert targets offered for a video or an audio file.
std::vector<std::string> videoTargets(const Path& url);
std::vector<std::string> audioTargets(const Path& url);

// Converts source to ext next to it (named by Output) and returns the new file: in process
// for native sources where the kit writes the target, else through ffmpeg.
Path convert(const Path& source, const std::string& ext);

// Writes source into out (a reserved name) through an export session; out is removed on
// failure. ("export" itself is a C++ keyword.)
void exportMedia(const Path& source, const Path& out, MediaKit::Preset preset, MediaKit::FileType type,
                 const MediaKit::ExportOptions& options = {});
// Runs ffmpeg -y -hide_banner -loglevel error -i <source> <args> <out>, with both paths
// absolute so that neither can be read as an option. Throws "This needs ffmpeg — install it
// with: sudo apt install ffmpeg" without ffmpeg, or ffmpeg's own error; out is removed on
// failure.
void ffmpeg(const Path& source, const Path& out, const Args& args);
// Converts source into out by an afconvert row, in process; out is removed on failure.
void afconvert(const Path& source, const Path& out, const Args& args);
// An animated GIF (see MediaKit::makeGIF); out is removed on failure.
void makeGIF(const Path& source, const Path& out, double fps, int maxSide, double maxDuration);

// Seconds, read in process, else from ffprobe; 0 when neither knows. Never throws.
double duration(const Path& url);
// Channels of the main audio stream, read in process, else from ffprobe; else 2. Never throws.
int channelCount(const Path& url);
// The upright picture at 0.5 seconds: in process for native files, else through ffmpeg.
ImageOps::Image firstFrame(const Path& url);
}
