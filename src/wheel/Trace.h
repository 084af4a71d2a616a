#pragma once
#include "core/Paths.h"

#include <Qt>

#include <string>

// The wheel's diagnostic log: what the drag monitor and the controller saw and did during
// the most recent file drag. Main thread only.
namespace Trace {
// ~/.local/state/Varnolt/wheel.log (or under $XDG_STATE_HOME).
Path logFile();
// Begins a new, empty log for a new drag; logging stays off when the file cannot be made.
void start();
// Appends one stamped line while a log is open.
void log(const std::string& message);
// The held modifiers as symbols, "⌃⌥⇧⌘" in that order, or "none".
std::string describe(Qt::KeyboardModifiers flags);
// One log line: the seconds since the first line, right-aligned in nine characters.
std::string line(double seconds, const std::string& message);
}
