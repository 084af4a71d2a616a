#include "core/WheelMode.h"

namespace WheelModes {

const std::vector<WheelMode>& allCases()
{
    static const std::vector<WheelMode> cases = {WheelMode::convert, WheelMode::tools, WheelMode::actions};
    return cases;
}

std::optional<WheelMode> fromRawValue(int raw)
{
    if (raw < 0 || raw > 2) return std::nullopt;
    return static_cast<WheelMode>(raw);
}

std::string word(WheelMode mode)
{
    switch (mode) {
    case WheelMode::convert: return "convert";
    case WheelMode::tools: return "tools";
    case WheelMode::actions: return "actions";
    }
    return {};
}

std::optional<WheelMode> fromWord(const std::string& w)
{
    for (WheelMode mode : allCases()) {
        if (word(mode) == w) return mode;
    }
    return std::nullopt;
}

std::string title(WheelMode mode)
{
    switch (mode) {
    case WheelMode::convert: return "Convert";
    case WheelMode::tools: return "Tools";
    case WheelMode::actions: return "Actions";
    }
    return {};
}

}
