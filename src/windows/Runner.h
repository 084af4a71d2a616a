#pragma once
#include "core/WheelOption.h"

#include <QPoint>

#include <optional>
#include <string>

class Toast;

// Carries out an option the user chose: a progress toast, the run, then its outcome in that
// toast, the outputs as recent files and as the batch to undo, and the optional reveal.
namespace Runner {
// Returns at once; the option runs in the background and several runs may be in progress at
// once, each finishing its own toast. near: the drop point on screen, where the toast goes.
// Main thread.
void perform(const WheelOption& option, const Paths& urls, std::optional<QPoint> near = std::nullopt);

// An interactive option shows no toast while its editor is open. When the editor closes and
// the work starts, its run opens one here ("Cropping video…"), and perform finishes it.
// Safe from any thread; from a worker the toast appears shortly after the call returns.
void openLateToast(const std::string& title, const std::string& subtitle = {}, std::optional<QPoint> near = std::nullopt);
// The toast stored by openLateToast and not yet taken by a finished run, or none. Main thread.
Toast* lateToast();

}
