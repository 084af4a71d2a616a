#pragma once
#include "core/Paths.h"

#include <system_error>

// File operations whose failures a user can read: each throws KError "Couldn't <verb>
// <name>: <reason>" ("Couldn't move photo.png: the folder is read-only for you").
namespace Files {
// Moves within one disk; a destination on another disk fails (callers copy instead).
void rename(const Path& from, const Path& to);
void createFolders(const Path& folder);
void copy(const Path& from, const Path& to, std::filesystem::copy_options options = std::filesystem::copy_options::none);
void symlink(const Path& target, const Path& link);
// "Couldn't <verb> <name>: <reason>" for a failure met while working on item.
std::string failure(const std::string& verb, const Path& item, std::error_code code, bool writing);
}
