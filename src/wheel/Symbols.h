#pragma once
#include <QString>

#include <optional>
#include <string>
#include <vector>

// The option tables name their slice symbols with SF Symbols names; on Linux each is drawn
// from the Material Icons font by its ligature name.
namespace Symbols {
// The Material Icons ligature for a symbol name, or none for a name without a mapping.
std::optional<QString> ligature(const std::string& name);
// Every symbol name the option tables use, presets' star included.
const std::vector<std::string>& catalogNames();
// "Material Icons", when the font is installed.
std::optional<QString> fontFamily();
}
