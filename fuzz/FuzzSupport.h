#pragma once
#include "core/Paths.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What the harnesses share: the input as text, and files in a folder of the process's own.
namespace FuzzSupport {
std::string_view text(const std::uint8_t* data, std::size_t size);
// The folder, made on first use and removed when the process ends; it is also the home
// folder, so that no settings of the user's apply.
const Path& scratch();
// The input written to scratch()/name.
Path written(const std::uint8_t* data, std::size_t size, const std::string& name);
}
