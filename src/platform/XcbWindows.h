#pragma once
#include <QWindow>

// Requests to the X server about Varnolt's own windows and the pointer, sent on Qt's own
// connection so that they are ordered after Qt's requests for the same windows. All do
// nothing off X11.
namespace XcbWindows {
bool isX11();
// Gives the keyboard to a window just shown at the server's current time: Qt's last event time
// may be older than the last focus change (the hotkey's keys went to another connection),
// and the server ignores a focus request older than that.
void giveFocus(WId window);
// Moves the pointer by a few pixels, as if the user had: a drag source only looks for a new
// window under the pointer when the pointer moves.
void nudgePointer(int dx, int dy);
}
