#pragma once
#include <optional>
#include <string>
#include <vector>

enum class WheelMode : int { convert = 0, tools = 1, actions = 2 };

namespace WheelModes {
const std::vector<WheelMode>& allCases();
std::optional<WheelMode> fromRawValue(int raw);
// "convert", "tools", "actions": the command-line word and settings-key suffix.
std::string word(WheelMode mode);
std::optional<WheelMode> fromWord(const std::string& word);
// "Convert", "Tools", "Actions".
std::string title(WheelMode mode);
}
