#include "catalog/Catalog.h"

#include "presets/PresetRunner.h"
#include "presets/PresetStore.h"

namespace Catalog {

WheelOptions options(const Paths& urls, WheelMode mode)
{
    if (urls.empty()) return {};
    const FileKind kind = kindOf(urls);
    WheelOptions list;
    switch (mode) {
    case WheelMode::convert:
        list = presetOptions(kind);
        for (auto& option : convertOptions(kind, urls)) list.push_back(std::move(option));
        break;
    case WheelMode::tools:
        list = toolOptions(kind, urls);
        break;
    case WheelMode::actions:
        list = actionOptions(urls);
        break;
    }
    cutToTwelve(list);
    for (WheelOption& option : list) option.page = mode;
    return list;
}

WheelOptions presetOptions(FileKind kind)
{
    WheelOptions options;
    for (const Preset& preset : PresetStore::presets(kind)) {
        options.push_back(option(preset.name, "star.fill", each([preset](const Path& url) { return PresetRunner::run(preset, url); })));
    }
    return options;
}

}
