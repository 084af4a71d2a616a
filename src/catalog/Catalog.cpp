#include "catalog/Catalog.h"

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
    return list;
}

WheelOptions presetOptions(FileKind)
{
    return {};
}

}
