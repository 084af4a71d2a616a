#include "windows/HelperStatus.h"

#include "core/Errors.h"
#include "core/Settings.h"
#include "core/Shell.h"
#include "core/Tools.h"

#include <unistd.h>

namespace HelperStatus {

namespace {
const std::string install = "Not found. Install with: sudo apt install ffmpeg";
}

std::optional<std::string> pathProblem(const Path& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) return "Nothing is at " + path.string() + ".";
    if (std::filesystem::is_directory(status)) return path.string() + " is a folder, not the ffmpeg program.";
    if (!std::filesystem::is_regular_file(status) || ::access(path.c_str(), X_OK) != 0) {
        return path.string() + " can't be run: make it executable with chmod +x.";
    }
    return std::nullopt;
}

bool answersAsFfmpeg(const Path& path)
{
    try {
        return Shell::run(path, {"-version"}).starts_with("ffmpeg version");
    } catch (const KError&) {
        return false;
    }
}

Line ffmpeg(std::optional<bool> isFfmpeg)
{
    const std::string custom = Settings::string(SettingsKey::ffmpegPath).toStdString();
    if (custom.empty()) {
        if (const auto found = Tools::ffmpeg()) return {true, "Using " + found->string()};
        return {false, install};
    }
    if (const auto problem = pathProblem(custom)) {
        // Tools passes over such a path and looks in the usual folders.
        if (const auto found = Tools::find("ffmpeg")) return {false, *problem + " Using " + found->string() + " instead."};
        return {false, *problem + " " + install};
    }
    if (isFfmpeg == false) return {false, custom + " is not ffmpeg: clear the path to detect ffmpeg automatically."};
    return {true, "Using " + custom};
}

bool webpEncoder()
{
    return Tools::cwebp() || Tools::ffmpegHas("libwebp");
}

}
