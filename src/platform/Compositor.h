#pragma once

// The X server's compositing manager. Without one, translucent windows show black where they
// should be clear, so they are cut to shape instead.
namespace Compositor {
// Whether a compositing manager owns the screen's _NET_WM_CM_S selection; false off X11.
// Asks the server each time: compositors come and go while Varnolt runs.
bool active();
}
