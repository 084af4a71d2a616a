#pragma once
#include "core/Paths.h"

#include <optional>
#include <string>

// The file actions of the actions page: moving files, sharing them with a paired device,
// their paths as text, a terminal at them.
namespace ActionOps {
// Asks for a folder ("Move Here") and moves the files into it; none, and nothing moved, when
// the user cancels.
std::optional<Path> move(const Paths& files);
// Moves each file into folder under a free name ("photo 2.jpg"), never over anything. Across
// disks each file is copied, the copy checked, and only then the original removed. Stops at
// the first failure; files moved before it stay moved. Returns the new locations.
Paths moveInto(const Paths& files, const Path& folder);
// Sends the files to the first reachable device paired with KDE Connect.
void airDrop(const Paths& files);
// The paths, one a line.
std::string copyPath(const Paths& files);
// Opens the user's terminal ($TERMINAL, else x-terminal-emulator) in the first item when it
// is a folder, else in its folder.
void openTerminal(const Paths& files);
}
