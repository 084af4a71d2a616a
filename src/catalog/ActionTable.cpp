#include "catalog/Catalog.h"
#include "core/Desktop.h"
#include "documents/ActionOps.h"

namespace Catalog {

namespace {
WheelOption action(const std::string& title, const std::string& symbol, RunFn run)
{
    return {title, symbol, true, false, std::move(run)};
}
}

WheelOptions actionOptions(const Paths&)
{
    static const WheelOptions options = {
        action("Share", "airplayaudio",
               [](const Paths& urls) {
                   ActionOps::airDrop(urls);
                   return OptionResult{};
               }),
        action("Float", "square.on.square",
               [](const Paths& urls) {
                   Desktop::floatFiles(urls);
                   return OptionResult{};
               }),
        action("Copy", "doc.on.clipboard",
               [](const Paths& urls) {
                   OptionResult result{{}, "Copied — paste in your file manager or any app"};
                   result.clipboardFiles = urls;
                   return result;
               }),
        action("Move", "folder",
               [](const Paths& urls) {
                   const auto folder = ActionOps::move(urls);
                   return OptionResult{{}, folder ? std::optional("Moved to " + folder->filename().string()) : std::nullopt};
               }),
        action("Copy Path", "link",
               [](const Paths& urls) {
                   const std::string text = ActionOps::copyPath(urls);
                   return OptionResult{{}, urls.size() == 1 ? text : "Copied " + std::to_string(urls.size()) + " paths", text};
               }),
        action("Terminal", "terminal",
               [](const Paths& urls) {
                   ActionOps::openTerminal(urls);
                   return OptionResult{};
               }),
    };
    return options;
}

}
