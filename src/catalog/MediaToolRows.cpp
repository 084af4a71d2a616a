#include "catalog/CatalogFrame.h"
#include "catalog/Rows.h"
#include "core/Tools.h"
#include "media/EditExports.h"
#include "media/MediaOps.h"

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
}

WheelOptions video(const Paths& urls)
{
    static const Catalog::Rows rows = {
        {trimOption(), native},
        {Catalog::editor("Crop", "crop", Editing::Editor::crop, "Cropping video…",
                         [](const Path& url, const Editing::Choice& choice) { return EditExports::cropVideo(url, choice.crop.value()); }),
         ffmpeg},
    };
    return Catalog::offered(rows, urls);
}

WheelOptions audio(const Paths& urls)
{
    static const Catalog::Rows rows = {
        {trimOption(), [](const Paths& urls) { return native(urls) || ffmpeg(urls); }},
    };
    return Catalog::offered(rows, urls);
}

}
