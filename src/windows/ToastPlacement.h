#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>
#include <vector>

// Where a toast's card goes on screen (top-left origin, device-independent pixels).
namespace ToastPlacement {
inline constexpr QSize cardSize{340, 64};

struct Screen {
    QRect frame;
    QRect visible;  // the frame without panels and docks
};

// The card's top-left corner: centred on near (the drop point), or without a point centred
// 80 points above the bottom of the main screen's visible area. Then kept 8 points inside
// the visible area of the screen that holds the drop point, else of the main screen. No
// screens at all gives (0, 0).
QPoint origin(std::optional<QPoint> near, const std::vector<Screen>& screens, std::size_t mainScreen);
// The same for the screens of the display, the main one being the screen under the pointer.
QPoint origin(std::optional<QPoint> near);
}
