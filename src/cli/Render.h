#pragma once
#include "core/WheelMode.h"

#include <string>
#include <vector>

namespace CLI {
// Draws the wheel for `files` into a PNG at `output`; options are the words after the
// mode (--hover N, --page N, --flip T, --glow G and the file paths). Returns the exit status.
int renderWheel(WheelMode mode, const std::string& output, const std::vector<std::string>& rest);
}
