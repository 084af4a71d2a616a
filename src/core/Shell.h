#pragma once
#include "core/Paths.h"

#include <optional>
#include <string>
#include <vector>

namespace Shell {
// Runs exe (an absolute path) with args, each passed as one argument; stdin is /dev/null.
// Returns standard output as UTF-8 text (empty when stdoutTo is given). A non-zero exit
// throws KError "<name>: <last three stderr lines>" or "<name> failed (exit N)"; a program
// that cannot be started throws KError "Couldn't start <name>: <why>".
std::string run(const Path& exe, const std::vector<std::string>& args,
                const std::optional<Path>& cwd = std::nullopt,
                const std::optional<Path>& stdoutTo = std::nullopt);
// Starts exe with args (in cwd when given) and returns at once: the program lives on by itself
// (a terminal window). Throws KError "Couldn't start <name>".
void launch(const Path& exe, const std::vector<std::string>& args, const std::optional<Path>& cwd = std::nullopt);
}
