#include "core/Tools.h"

#include "core/Settings.h"
#include "core/Shell.h"

#include <cstdlib>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <unistd.h>

namespace Tools {

namespace {
bool isExecutableFile(const Path& p)
{
    std::error_code ec;
    return !p.empty() && std::filesystem::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

// The remembered encoder list and the ffmpeg it was read from; replaced whole under the lock.
struct EncoderList {
    Path ffmpeg;
    std::set<std::string> names;
};
std::mutex encoderLock;
std::shared_ptr<const EncoderList> encoders;

std::set<std::string> readEncoders(const Path& ffmpeg)
{
    std::string listing;
    try {
        listing = Shell::run(ffmpeg, {"-hide_banner", "-encoders"});
    } catch (...) {
        // A failed listing counts as no encoders.
    }
    std::set<std::string> names;
    std::istringstream lines(listing);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string first, second;
        if (words >> first >> second) names.insert(second);
    }
    return names;
}
}

std::vector<Path> searchFolders()
{
    if (const char* dirs = std::getenv("VARNOLT_TOOL_DIRS")) {
        std::vector<Path> folders;
        std::istringstream in(dirs);
        std::string folder;
        while (std::getline(in, folder, ':')) {
            if (!folder.empty()) folders.emplace_back(folder);
        }
        return folders;
    }
    return {"/usr/local/bin", "/usr/bin", "/home/linuxbrew/.linuxbrew/bin"};
}

std::optional<Path> find(const std::string& name)
{
    for (const Path& folder : searchFolders()) {
        if (isExecutableFile(folder / name)) return folder / name;
    }
    return std::nullopt;
}

std::optional<Path> ffmpeg()
{
    const Path chosen = Settings::string(SettingsKey::ffmpegPath).toStdString();
    if (isExecutableFile(chosen)) return chosen;
    return find("ffmpeg");
}

std::optional<Path> ffprobe()
{
    const auto ff = ffmpeg();
    if (!ff) return std::nullopt;
    const Path probe = ff->parent_path() / "ffprobe";
    if (isExecutableFile(probe)) return probe;
    return std::nullopt;
}

std::optional<Path> cwebp()
{
    return find("cwebp");
}

std::optional<Path> soffice()
{
    return find("soffice");
}

bool ffmpegHas(const std::string& encoder)
{
    const auto ff = ffmpeg();
    if (!ff) return false;
    std::shared_ptr<const EncoderList> list;
    {
        std::lock_guard guard(encoderLock);
        list = encoders;
    }
    if (!list || list->ffmpeg != *ff) {
        // Two first callers may both read the list; either result is the same.
        list = std::make_shared<const EncoderList>(EncoderList{*ff, readEncoders(*ff)});
        std::lock_guard guard(encoderLock);
        encoders = list;
    }
    return list->names.count(encoder) > 0;
}

}
