#include "core/SettingChoices.h"

#include "core/EnumTable.h"

namespace {
struct TriggerRow {
    TriggerKey value;
    const char* raw;
    const char* glyph;
    const char* name;
    Qt::KeyboardModifier modifier;
};
constexpr std::array<TriggerRow, 4> triggerKeys = {{
    {TriggerKey::shift, "shift", "⇧", "Shift", Qt::ShiftModifier},
    {TriggerKey::command, "command", "⌘", "Super", Qt::MetaModifier},
    {TriggerKey::control, "control", "⌃", "Control", Qt::ControlModifier},
    {TriggerKey::option, "option", "⌥", "Alt", Qt::AltModifier},
}};

struct LocationRow {
    OutputLocation value;
    const char* raw;
    const char* title;
};
constexpr std::array<LocationRow, 3> outputLocations = {{
    {OutputLocation::sameFolder, "sameFolder", "Next to the original"},
    {OutputLocation::downloads, "downloads", "Downloads folder"},
    {OutputLocation::desktop, "desktop", "Desktop"},
}};

struct HotkeyRow {
    HotkeyChoice value;
    const char* raw;
    const char* label;
    const char* keys;
};
constexpr std::array<HotkeyRow, 4> hotkeyChoices = {{
    {HotkeyChoice::off, "off", "Off", ""},
    {HotkeyChoice::ctrlOptSpace, "ctrlOptSpace", "⌃⌥Space", "Ctrl+Alt+Space"},
    {HotkeyChoice::cmdOptReturn, "cmdOptReturn", "⌥⌘Return", "Meta+Alt+Return"},
    {HotkeyChoice::ctrlOptK, "ctrlOptK", "⌃⌥K", "Ctrl+Alt+K"},
}};
}

namespace TriggerKeys {

const std::vector<TriggerKey>& allCases()
{
    static const std::vector<TriggerKey> cases = EnumTable::cases(triggerKeys);
    return cases;
}

std::string rawValue(TriggerKey key)
{
    return EnumTable::row(triggerKeys, key).raw;
}

std::optional<TriggerKey> fromRawValue(const std::string& raw)
{
    return EnumTable::parse(triggerKeys, raw);
}

std::string glyph(TriggerKey key)
{
    return EnumTable::row(triggerKeys, key).glyph;
}

std::string label(TriggerKey key)
{
    return glyph(key) + "  " + EnumTable::row(triggerKeys, key).name;
}

Qt::KeyboardModifier modifier(TriggerKey key)
{
    return EnumTable::row(triggerKeys, key).modifier;
}

}

namespace OutputLocations {

const std::vector<OutputLocation>& allCases()
{
    static const std::vector<OutputLocation> cases = EnumTable::cases(outputLocations);
    return cases;
}

std::string rawValue(OutputLocation location)
{
    return EnumTable::row(outputLocations, location).raw;
}

std::optional<OutputLocation> fromRawValue(const std::string& raw)
{
    return EnumTable::parse(outputLocations, raw);
}

std::string title(OutputLocation location)
{
    return EnumTable::row(outputLocations, location).title;
}

}

namespace HotkeyChoices {

const std::vector<HotkeyChoice>& allCases()
{
    static const std::vector<HotkeyChoice> cases = EnumTable::cases(hotkeyChoices);
    return cases;
}

std::string rawValue(HotkeyChoice choice)
{
    return EnumTable::row(hotkeyChoices, choice).raw;
}

std::optional<HotkeyChoice> fromRawValue(const std::string& raw)
{
    return EnumTable::parse(hotkeyChoices, raw);
}

std::string label(HotkeyChoice choice)
{
    return EnumTable::row(hotkeyChoices, choice).label;
}

std::string keys(HotkeyChoice choice)
{
    return EnumTable::row(hotkeyChoices, choice).keys;
}

}
