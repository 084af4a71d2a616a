#include "catalog/CatalogFrame.h"
#include "catalog/Rows.h"
#include "core/Tools.h"
#include "media/MediaOps.h"
#include "media/MediaTools.h"

namespace ToolRows {

namespace {
bool ffmpeg(const Paths&)
{
    return Tools::ffmpeg().has_value();
}

WheelOption eachFile(const std::string& title, const std::string& symbol, Catalog::EachFn f)
{
    return Catalog::option(title, symbol, Catalog::each(std::move(f)));
}

RunFn bleep = [](const Paths& urls) {
    OptionResult result;
    int total = 0;
    for (const Path& url : urls) {
        const MediaOps::Bleeped bleeped = MediaOps::bleep(url);
        if (bleeped.output) result.outputs.push_back(*bleeped.output);
        total += bleeped.count;
    }
    result.message = total > 0 ? "Bleeped " + std::to_string(total) + " word" + (total == 1 ? "" : "s") : "No profanity found — nothing to bleep";
    return result;
};
}

WheelOptions video(const Paths& urls)
{
    static const Catalog::Rows rows = {
        {eachFile("Compress", "arrow.down.right.and.arrow.up.left", MediaOps::compressVideo)},
        {Catalog::fitOption("Fit 10 MB", 10'000'000, MediaOps::fitVideo), ffmpeg},
        {Catalog::fitOption("Fit 25 MB", 25'000'000, MediaOps::fitVideo), ffmpeg},
        {eachFile("720p", "rectangle.compress.vertical", MediaOps::downscaleVideo)},
        {eachFile("Audio", "waveform", MediaOps::extractAudio)},
        {eachFile("Mute", "speaker.slash", MediaOps::mute)},
        {eachFile("Frame", "camera", MediaOps::frameGrab)},
        {eachFile("GIF", "photo.stack", [](const Path& url) { return MediaOps::convert(url, "gif"); })},
        {eachFile("Metadata", "eye.slash", MediaOps::stripMetadata)},
    };
    return Catalog::offered(rows, urls);
}

WheelOptions audio(const Paths& urls)
{
    static const Catalog::Rows rows = {
        {eachFile("Compress", "arrow.down.right.and.arrow.up.left", MediaOps::compressAudio)},
        {eachFile("Metadata", "eye.slash", MediaOps::stripMetadata)},
        {eachFile("Normalize", "waveform.path", MediaOps::normalize), ffmpeg},
        {eachFile("Visualize", "waveform.path.ecg.rectangle", MediaOps::visualize), ffmpeg},
        {eachFile("Channels", "hifispeaker.2", MediaOps::toggleChannels)},
        {Catalog::option("Bleep", "waveform.badge.exclamationmark", bleep), ffmpeg},
    };
    return Catalog::offered(rows, urls);
}

}
