#pragma once
#include "core/Paths.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the harnesses share: the input as text, and files in a folder of the process's own.
namespace FuzzSupport {
std::string_view text(const std::uint8_t* data, std::size_t size);
// The folder, made on first use and removed when the process ends; it is also the home
// folder, so that no settings of the user's apply.
const Path& scratch();
// The input written to scratch()/name.
Path written(const std::uint8_t* data, std::size_t size, const std::string& name);
// The input cut at its NUL bytes into `count` parts (missing parts are empty), so that one
// input feeds a reader that takes several files of a package at once.
std::vector<std::string> parts(const std::uint8_t* data, std::size_t size, std::size_t count);
// Readers that build rich text need fonts, hence an application; drawn off screen.
void startGuiApplication();
}
