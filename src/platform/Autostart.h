#pragma once
#include <QString>

// "Open at login": the XDG autostart entry ~/.config/autostart/varnolt.desktop, which every
// freedesktop session starts after login.
namespace Autostart {
QString entryPath();
// The entry exists and is not hidden.
bool enabled();
// Writes an entry that starts program, or removes it. KError says why the autostart folder
// could not be changed.
void setEnabled(bool on, const QString& program);
}
