#include "windows/ToastPlacement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace ToastPlacement {

namespace {
constexpr int margin = 8;
constexpr int aboveBottom = 80;
}

QPoint origin(std::optional<QPoint> near, const std::vector<Screen>& screens, std::size_t mainScreen)
{
    if (screens.empty()) return {0, 0};
    const Screen& main = screens[std::min(mainScreen, screens.size() - 1)];
    const int w = cardSize.width();
    const int h = cardSize.height();
    QPoint corner = near ? QPoint(near->x() - w / 2, near->y() - h / 2)
                         : QPoint(main.visible.x() + main.visible.width() / 2 - w / 2,
                                  main.visible.y() + main.visible.height() - aboveBottom - h);
    // The drop point decides the screen: a point inside the card would miss it for drops near
    // a screen's bottom edge, and the card would jump to another screen.
    const auto holder = near ? std::find_if(screens.begin(), screens.end(), [&](const Screen& s) { return s.frame.contains(*near); })
                             : screens.end();
    const QRect area = (holder != screens.end() ? *holder : main).visible;
    // The left and top margins win on a screen too small for the card.
    corner.setX(std::max(area.x() + margin, std::min(corner.x(), area.x() + area.width() - w - margin)));
    corner.setY(std::max(area.y() + margin, std::min(corner.y(), area.y() + area.height() - h - margin)));
    return corner;
}

QPoint origin(std::optional<QPoint> near)
{
    std::vector<Screen> screens;
    std::size_t main = 0;
    const QScreen* pointer = QGuiApplication::screenAt(QCursor::pos());
    if (!pointer) pointer = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen == pointer) main = screens.size();
        screens.push_back({screen->geometry(), screen->availableGeometry()});
    }
    return origin(near, screens, main);
}

}
