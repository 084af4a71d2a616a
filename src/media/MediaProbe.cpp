#include "media/MediaOps.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "core/Shell.h"
#include "core/Tools.h"
#include "media/MediaFrames.h"
#include "media/MediaInput.h"

#include <charconv>
#include <optional>

namespace MediaOps {

namespace {
// ffprobe's answer for one entry, trimmed; none when it is missing or fails.
std::optional<std::string> askFfprobe(const Path& url, const Args& query)
{
    const auto probe = Tools::ffprobe();
    if (!probe) return std::nullopt;
    Args args = query;
    args.push_back(absoluteNormal(url).string());
    try {
        std::string out = Shell::run(*probe, args);
        const auto first = out.find_first_not_of(" \t\r\n");
        if (first == std::string::npos) return std::nullopt;
        return out.substr(first, out.find_last_not_of(" \t\r\n") - first + 1);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// The whole text as a number, or none.
template <typename Number>
std::optional<Number> parse(const std::string& text)
{
    const char* begin = text.data() + (text.starts_with('+') ? 1 : 0);
    const char* end = text.data() + text.size();
    Number value{};
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}
}

double duration(const Path& url)
{
    try {
        const double seconds = MediaKit::Input(url).duration();
        if (seconds > 0) return seconds;
    } catch (const KError&) {
        // Unreadable here: ffprobe may still know.
    }
    const auto answer = askFfprobe(url, {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0"});
    return answer ? parse<double>(*answer).value_or(0) : 0;
}

int channelCount(const Path& url)
{
    try {
        const MediaKit::Input input(url);
        const int stream = input.bestAudio();
        if (stream >= 0 && input.stream(stream)->codecpar->ch_layout.nb_channels > 0) return input.stream(stream)->codecpar->ch_layout.nb_channels;
    } catch (const KError&) {
        // Unreadable here: ffprobe may still know.
    }
    const auto answer = askFfprobe(url, {"-v", "error", "-select_streams", "a:0", "-show_entries", "stream=channels", "-of", "csv=p=0"});
    return answer ? parse<int>(*answer).value_or(2) : 2;
}

ImageOps::Image firstFrame(const Path& url)
{
    if (isNative(url)) return MediaKit::frameAt(url, 0.5);
    const Output::ScratchDir scratch;
    const Path frame = scratch.path() / "frame.png";
    ffmpeg(url, frame, {"-ss", "0.5", "-frames:v", "1"});
    // ffmpeg succeeds without writing anything when the clip ends before half a second.
    if (Output::size(frame) == 0) throw KError("This video has no frames");
    // Held in memory: the scratch folder goes when this returns.
    return ImageOps::load(frame).image.copy_memory();
}

}
