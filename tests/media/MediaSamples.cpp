#include "MediaSamples.h"

#include "TestSupport.h"
#include "core/Output.h"

#include <sstream>

namespace MediaSamples {

void ffmpeg(const std::vector<std::string>& args)
{
    std::vector<std::string> all = {"-y", "-hide_banner", "-loglevel", "error"};
    all.insert(all.end(), args.begin(), args.end());
    const auto result = TestSupport::runProgram("/usr/bin/ffmpeg", all);
    ASSERT_EQ(result.status, 0) << result.err;
}

Path makeClip(const Path& to, double seconds, const std::string& size, int channels, const std::vector<std::string>& extra)
{
    const std::string length = std::to_string(seconds);
    std::vector<std::string> args;
    if (!size.empty()) args.insert(args.end(), {"-f", "lavfi", "-i", "testsrc2=size=" + size + ":rate=30:duration=" + length});
    if (channels > 0) args.insert(args.end(), {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=" + length, "-ac", std::to_string(channels)});
    const std::string ext = lowerExt(to);
    if ((ext == "mp4" || ext == "mov" || ext == "m4v" || ext == "3gp") && !size.empty()) {
        args.insert(args.end(), {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"});
    }
    if (ext == "mp4" || ext == "mov" || ext == "m4v" || ext == "m4a") args.insert(args.end(), {"-c:a", "aac"});
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(to.string());
    ffmpeg(args);
    return to;
}

Path turned(const Path& clip, const Path& to, int degrees)
{
    // ffmpeg turns the tag into a display matrix only when it copies the stream.
    ffmpeg({"-i", clip.string(), "-c", "copy", "-metadata:s:v", "rotate=" + std::to_string(degrees), to.string()});
    return to;
}

Probe probe(const Path& file)
{
    const auto result = TestSupport::runProgram("/usr/bin/ffprobe", {"-v", "error", "-show_entries",
        "stream=codec_type,codec_name,width,height,channels,sample_rate,pix_fmt,nb_frames,sample_fmt,bits_per_raw_sample,codec_tag_string:stream_side_data=rotation:format=duration:format_tags",
        "-of", "flat", file.string()});
    Probe values;
    std::istringstream lines(result.out);
    std::string line;
    while (std::getline(lines, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string value = line.substr(eq + 1);
        if (value.size() >= 2 && value.front() == '"') value = value.substr(1, value.size() - 2);
        values[line.substr(0, eq)] = value;
    }
    return values;
}

std::string field(const Probe& p, int stream, const std::string& name)
{
    const auto it = p.find("streams.stream." + std::to_string(stream) + "." + name);
    return it == p.end() ? "" : it->second;
}

std::string codecs(const Probe& p)
{
    std::string names;
    for (int i = 0; !field(p, i, "codec_name").empty(); ++i) names += (i ? "," : "") + field(p, i, "codec_name");
    return names;
}

double seconds(const Probe& p)
{
    return p.count("format.duration") ? std::stod(p.at("format.duration")) : -1;
}

ToolsScope::ToolsScope(bool present)
{
    if (!present) empty_ = Output::tempDirectory();
    setenv("VARNOLT_TOOL_DIRS", present ? "/usr/bin" : empty_.c_str(), 1);
}

ToolsScope::~ToolsScope()
{
    unsetenv("VARNOLT_TOOL_DIRS");
    std::error_code ec;
    if (!empty_.empty()) std::filesystem::remove_all(empty_, ec);
}

FakeFfmpeg::FakeFfmpeg()
{
    std::filesystem::copy_file(Path(VARNOLT_TEST_DATA) / "fake-ffmpeg", bin / "ffmpeg");
    setenv("VARNOLT_TOOL_DIRS", bin.path().c_str(), 1);
}

FakeFfmpeg::~FakeFfmpeg() { unsetenv("VARNOLT_TOOL_DIRS"); }
std::vector<std::string> FakeFfmpeg::args() const { return linesOf(bin / "args.txt"); }
size_t FakeFfmpeg::calls() const { return linesOf(bin / "calls").size(); }

std::vector<std::string> linesOf(const Path& file)
{
    std::istringstream text(TestSupport::readFile(file));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

}
