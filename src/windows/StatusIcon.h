#pragma once
#include <QColor>
#include <QIcon>
#include <QImage>

// The tray icon: a ring, a centre dot and six spokes, drawn in one colour on transparency.
namespace StatusIcon {
// The 18 × 18 point drawing at the given scale (2 gives 36 × 36 pixels).
QImage image(const QColor& color, qreal scale);
// The icon at 1× and 2×, in the colour of the palette's window text so that it shows on
// dark and light panels alike.
QIcon icon();
// The application's own icon (menus, windows, the file manager): the same drawing in white on a
// disc of the wheel's accent colour, pixels wide and high.
QImage applicationImage(int pixels);
}
