#pragma once
#include <filesystem>
#include <string>
#include <vector>

using Path = std::filesystem::path;
using Paths = std::vector<Path>;


// Lower-cased path extension without the dot ("" when there is none).
std::string lowerExt(const Path& p);
// ASCII lower-casing, enough for extensions and option titles.
std::string lowerAscii(std::string s);
std::string upperAscii(std::string s);
// Absolute and lexically normal ("." and ".." removed), relative to the current directory.
Path absoluteNormal(const Path& p);
