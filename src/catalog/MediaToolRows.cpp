#include "catalog/CatalogFrame.h"
#include "catalog/Rows.h"
#include "core/Tools.h"
#include "media/EditExports.h"
#include "media/MediaOps.h"
#include "media/MediaTools.h"

#include <algorithm>

namespace ToolRows {

namespace {
WheelOption trimOption()
{
    return Catalog::editor("Trim", "scissors", Editing::Editor::trim, "Trimming…", [](const Path& url, const Editing::Choice& choice) {
        const Editing::Range range = choice.range.value();
        return EditExports::trim(url, range.start, range.end);
    });
}

bool native(const Paths& urls)
{
    return std::all_of(urls.begin(), urls.end(), MediaOps::isNative);
}
bool ffmpeg(const Paths&)
{
    return Tools::ffmpeg().has_value();
}

WheelOption eachFile(const std::string& title, const std::string& symbol, Catalog::EachFn f)
{
    // Encoders and the recogniser use every core themselves.
    return Catalog::option(title, symbol, Catalog::each(std::move(f), Batch::Load::heavy));
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
        {trimOption(), native},
        {Catalog::editor("Crop", "crop", Editing::Editor::crop, "Cropping video…",
                         [](const Path& url, const Editing::Choice& choice) { return EditExports::cropVideo(url, choice.crop.value()); }),
         ffmpeg},
        {Catalog::fitOption("Fit 10 MB", 10'000'000, MediaOps::fitVideo, Batch::Load::heavy), ffmpeg},
        {Catalog::fitOption("Fit 25 MB", 25'000'000, MediaOps::fitVideo, Batch::Load::heavy), ffmpeg},
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
        {trimOption(), [](const Paths& urls) { return native(urls) || ffmpeg(urls); }},
        {eachFile("Channels", "hifispeaker.2", MediaOps::toggleChannels)},
        {Catalog::option("Bleep", "waveform.badge.exclamationmark", bleep), ffmpeg},
    };
    return Catalog::offered(rows, urls);
}

}
