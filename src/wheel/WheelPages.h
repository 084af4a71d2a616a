#pragma once
#include "core/WheelOption.h"

#include <vector>

// Cuts a long option list into balanced pages of at most eight slices.
namespace WheelPages {
constexpr int maxPerPage = 8;
// One page for up to eight options (one empty page for none); otherwise ⌈n/8⌉ pages of
// ⌈n/pages⌉ options each, the last taking the rest.
std::vector<WheelOptions> split(const WheelOptions& options);
}
