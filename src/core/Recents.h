#pragma once
#include "core/Paths.h"

#include <optional>

// The ten most recent outputs, newest first ("recentOutputs").
namespace Recents {
void add(const Paths& urls);
void remove(const Paths& urls);
void clear();
Paths urls();
}

// The batch that undo moves to the Trash ("lastOutputs").
namespace UndoStore {
void record(const Paths& urls);
Paths last();
// Moves the batch (urls, else last()) to the Trash; returns how many items moved. The first
// item that cannot be moved throws KError with the system's reason.
int undo(const std::optional<Paths>& urls = std::nullopt);
}
