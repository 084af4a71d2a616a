#pragma once
#include "core/Paths.h"

#include <optional>
#include <string>
#include <vector>

// Finds the optional programs the user installs separately.
namespace Tools {
// Folders searched, in order: VARNOLT_TOOL_DIRS (":"-separated) when set, else
// /usr/local/bin, /usr/bin, /home/linuxbrew/.linuxbrew/bin.
std::vector<Path> searchFolders();
// The first executable file with this name in searchFolders().
std::optional<Path> find(const std::string& name);

std::optional<Path> ffmpeg();   // the "ffmpegPath" setting first, then the folders
std::optional<Path> ffprobe();  // next to ffmpeg
std::optional<Path> cwebp();
std::optional<Path> soffice();
// Whether ffmpeg lists this encoder; the list is read once per ffmpeg path.
bool ffmpegHas(const std::string& encoder);
}
