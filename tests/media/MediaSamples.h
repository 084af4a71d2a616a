#pragma once
#include "TestSupport.h"
#include "core/Paths.h"

#include <map>
#include <string>
#include <vector>

// Clips the media tests make for themselves with the ffmpeg program, and what the independent
// ffprobe reads back from the outputs.
namespace MediaSamples {
// Makes `to` from test pictures of `size` at 30 fps (none when size is empty) and a 440 Hz
// tone on `channels` channels (none when 0); H.264 and AAC unless extra, further ffmpeg output
// arguments, names other codecs or the container's own defaults apply.
Path makeClip(const Path& to, double seconds = 1, const std::string& size = "160x120", int channels = 1,
              const std::vector<std::string>& extra = {});
// A copy of clip at `to` that players show turned by `degrees` (its display matrix).
Path turned(const Path& clip, const Path& to, int degrees);
// Runs ffmpeg -y -hide_banner -loglevel error with args; fails the test when it fails.
void ffmpeg(const std::vector<std::string>& args);

// ffprobe's flat answer: "format.duration", "streams.stream.0.codec_name",
// "streams.stream.0.side_data_list.side_data.0.rotation"… without quotes.
using Probe = std::map<std::string, std::string>;
Probe probe(const Path& file);
// The codec names of every stream, joined by commas ("h264,aac").
std::string codecs(const Probe& p);
double seconds(const Probe& p);
// A stream field, "" when absent: field(p, 0, "width").
std::string field(const Probe& p, int stream, const std::string& name);

// Points tool discovery at /usr/bin (present) or at an empty folder (absent) for its scope.
class ToolsScope {
public:
    explicit ToolsScope(bool present);
    ~ToolsScope();

private:
    Path empty_;
};

// Puts the stand-in ffmpeg of tests/data, which records its arguments, first in tool discovery
// for its scope.
struct FakeFfmpeg {
    FakeFfmpeg();
    ~FakeFfmpeg();
    // The arguments of its last call, and how often it was called.
    std::vector<std::string> args() const;
    size_t calls() const;
    TestSupport::TempDir bin;
};
// The lines of a file.
std::vector<std::string> linesOf(const Path& file);
}
