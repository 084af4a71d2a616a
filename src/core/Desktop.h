#pragma once
#include "core/Paths.h"

#include <functional>
#include <optional>
#include <string>

// What only the application's windows can do for an option's work: the window layer sets each
// at start. Called from a worker; each blocks until the window has done its part.
namespace Desktop {
// A folder chosen by the user (none when cancelled), asked with a message and a button title.
using ChooseFolderFn = std::function<std::optional<Path>(const std::string& message, const std::string& button)>;
// Puts files on a new shelf.
using FloatFn = std::function<void(const Paths& files)>;

void setChooseFolder(ChooseFolderFn choose);
void setFloat(FloatFn floatFiles);
// Throw KError when no window can open here (a job, or a command line without a display).
std::optional<Path> chooseFolder(const std::string& message, const std::string& button);
void floatFiles(const Paths& files);
}
