#pragma once
#include <Qt>

#include <optional>
#include <string>
#include <vector>

// The enumerations whose raw values the settings store holds.

// The modifier key that opens a page of the wheel while dragging.
enum class TriggerKey { shift, command, control, option };
// Where outputs are written.
enum class OutputLocation { sameFolder, downloads, desktop };
// The global shortcut that opens the wheel for the file manager's selection.
enum class HotkeyChoice { off, ctrlOptSpace, cmdOptReturn, ctrlOptK };

namespace TriggerKeys {
const std::vector<TriggerKey>& allCases();
std::string rawValue(TriggerKey key);
std::optional<TriggerKey> fromRawValue(const std::string& raw);
// "⇧", "⌘", "⌃", "⌥".
std::string glyph(TriggerKey key);
// "⇧  Shift", "⌘  Super", "⌃  Control", "⌥  Alt": the glyph, two spaces and the key's name here.
std::string label(TriggerKey key);
// The key as Qt reports it held: command is the Super key, option the Alt key.
Qt::KeyboardModifier modifier(TriggerKey key);
}

namespace OutputLocations {
const std::vector<OutputLocation>& allCases();
std::string rawValue(OutputLocation location);
std::optional<OutputLocation> fromRawValue(const std::string& raw);
// "Next to the original", "Downloads folder", "Desktop".
std::string title(OutputLocation location);
}

namespace HotkeyChoices {
const std::vector<HotkeyChoice>& allCases();
std::string rawValue(HotkeyChoice choice);
std::optional<HotkeyChoice> fromRawValue(const std::string& raw);
// "Off", "⌃⌥Space", "⌥⌘Return", "⌃⌥K".
std::string label(HotkeyChoice choice);
// The keys to grab, in Qt's portable form ("Ctrl+Alt+Space"); empty for off.
std::string keys(HotkeyChoice choice);
}
