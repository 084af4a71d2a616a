#include "media/MediaTools.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "core/Progress.h"
#include "core/Shell.h"
#include "core/Tools.h"
#include "media/MediaOps.h"

namespace MediaOps {

namespace {
// Kilobits per second for one encode and the picture height that rate can carry.
struct Rates {
    double video = 0;
    int audio = 0;
    int heightCap = 0;
};

Rates ratesFor(double total, const std::string& megabytes)
{
    Rates rates{total - 96, 96, 0};
    if (rates.video < 150) rates = {total - 48, 48, 0};
    if (rates.video < 60) throw KError("This video is too long to fit in " + megabytes + " MB at watchable quality");
    rates.heightCap = rates.video < 500 ? 480 : rates.video < 1500 ? 720 : 1080;
    return rates;
}

// Where each of the three attempts starts on the progress bar: a retry is rarer and gets less.
constexpr double attemptStart[] = {0, 0.6, 0.85, 0.95};
constexpr int lastAttempt = 2;
}

std::optional<Path> fitVideo(const Path& url, std::int64_t maxBytes)
{
    const auto program = Tools::ffmpeg();
    if (!program) throw KError("Fitting a size needs ffmpeg — install it with: sudo apt install ffmpeg");
    if (Output::size(url) <= maxBytes) return std::nullopt;
    const double length = duration(url);
    if (!(length > 0)) throw KError("Couldn't read this video's length");
    const std::string megabytes = std::to_string(maxBytes / 1'000'000);
    const double budget = double(maxBytes) * 8 / 1000 / length;
    // Fails before any name is reserved when even the first attempt cannot be watched.
    ratesFor(budget * 0.96, megabytes);

    const Output::ScratchDir scratch;
    const std::string log = (scratch.path() / "pass").string();
    const std::string source = absoluteNormal(url).string();
    return Output::produce(url, "mp4", megabytes + " MB", [&](const Path& out) {
        double factor = 0.96;
        for (int attempt = 0;; ++attempt) {
            const double from = attemptStart[attempt], span = attemptStart[attempt + 1] - from;
            const Rates rates = ratesFor(budget * factor, megabytes);
            const Args codec = {"-vf", "scale=-2:'min(" + std::to_string(rates.heightCap) + ",ih)'", "-c:v", "libx264", "-preset", "medium", "-b:v",
                                std::to_string(static_cast<int>(rates.video)) + "k"};
            const Args input = {"-y", "-hide_banner", "-loglevel", "error", "-i", source};
            Progress::report(from);
            Args first = input;
            first.insert(first.end(), codec.begin(), codec.end());
            first.insert(first.end(), {"-pass", "1", "-passlogfile", log, "-an", "-f", "null", "/dev/null"});
            Shell::run(*program, first);
            Progress::report(from + span / 2);
            Args second = input;
            second.insert(second.end(), codec.begin(), codec.end());
            second.insert(second.end(), {"-pass", "2", "-passlogfile", log, "-pix_fmt", "yuv420p", "-c:a", "aac", "-b:a",
                                         std::to_string(rates.audio) + "k", "-movflags", "+faststart", absoluteNormal(out).string()});
            Shell::run(*program, second);

            const std::int64_t size = Output::size(out);
            if (size <= maxBytes) return;
            if (attempt == lastAttempt) throw KError("Couldn't get this video under " + megabytes + " MB");
            factor *= double(maxBytes) / double(size) * 0.97;
        }
    });
}

}
