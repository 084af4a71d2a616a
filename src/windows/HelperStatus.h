#pragma once
#include "core/Paths.h"

#include <optional>
#include <string>

// What the "Optional helpers" rows of the settings window say about this machine.
namespace HelperStatus {
struct Line {
    bool found = false;
    std::string text;
};

// Why a user's ffmpeg path cannot be used, without running it: nothing there, a folder, a
// file that cannot be run; none when it is an executable file.
std::optional<std::string> pathProblem(const Path& path);
// Runs path -version; true when it answers as ffmpeg.
bool answersAsFfmpeg(const Path& path);
// The line under "Custom path": "Using …" or why not, for the stored "ffmpegPath";
// isFfmpeg is what answersAsFfmpeg said of that path, none while it is not known.
Line ffmpeg(std::optional<bool> isFfmpeg);

bool webpEncoder();
}
