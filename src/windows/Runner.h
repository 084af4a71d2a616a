#pragma once
#include "core/WheelOption.h"
#include "windows/Notice.h"

// Runs an option chosen in a menu and deals with its result.
namespace Runner {
// Returns at once: the option runs on a worker thread; back on the main thread its outputs
// become the recent files and the undo batch, are revealed when "revealAfter" is set, and
// the outcome is handed to notify. Several runs may be in progress at once.
void perform(const WheelOption& option, const Paths& urls, Notify notify);
}
