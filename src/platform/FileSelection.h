#pragma once
#include "core/Paths.h"

#include <QObject>
#include <QString>

#include <functional>

class X11Connection;

// The files selected in the active file manager (Nautilus, Dolphin, Thunar, Nemo, Caja,
// PCManFM). None of them says what is selected, but all of them copy it: Varnolt types the
// copy shortcut into the window and reads the files from the clipboard, then gives the
// clipboard its earlier contents back.
namespace FileSelection {
// Whether a window class (WM_CLASS) names one of the file managers.
bool isFileManager(const QString& windowClass);
// Calls done on the main thread with the selected files, in the file manager's order; with
// none when the active window is no file manager, nothing is selected, or nothing arrives
// within half a second. Nothing is called once context is gone.
void read(X11Connection& x11, QObject* context, std::function<void(const Paths&)> done);
}
