#include "windows/WheelPanel.h"

#include "platform/Compositor.h"
#include "platform/XcbWindows.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace {
// The drag source sees the new window on its next pointer motion: one pixel there, and
// back shortly after so that the pointer ends where the user left it.
constexpr int nudgeBackMs = 40;
}

WheelPanel::WheelPanel() : view_(new WheelView(this))
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(side, side);
    view_->setGeometry(0, 0, side, side);
    setWindowTitle("Varnolt");
}

QPoint WheelPanel::origin(QPoint mouse, std::optional<QRect> workArea)
{
    QPoint p = mouse - QPoint(side / 2, side / 2);
    if (!workArea) return p;
    p.setX(std::min(std::max(p.x(), workArea->left()), workArea->x() + workArea->width() - side));
    p.setY(std::min(std::max(p.y(), workArea->top()), workArea->y() + workArea->height() - side));
    return p;
}

void WheelPanel::present(bool focusable)
{
    if (windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus) == focusable) {
        // Changing the flags of a shown window recreates it; it is shown again just below.
        hide();
        setWindowFlag(Qt::WindowDoesNotAcceptFocus, !focusable);
        setAttribute(Qt::WA_ShowWithoutActivating, !focusable);
    }
    const QPoint mouse = QCursor::pos();
    QScreen* screen = QGuiApplication::screenAt(mouse);
    if (!screen) screen = QGuiApplication::primaryScreen();
    move(origin(mouse, screen ? std::optional<QRect>(screen->availableGeometry()) : std::nullopt));
    if (Compositor::active()) clearMask();
    else setMask(QRegion(rect(), QRegion::Ellipse));
    const bool wasVisible = isVisible();
    show();
    raise();
    if (focusable) {
        view_->setFocus();
        activateWindow();
        takeKeyboard(0);
    } else if (!wasVisible) {
        XcbWindows::nudgePointer(1, 0);
        QTimer::singleShot(nudgeBackMs, this, [] { XcbWindows::nudgePointer(-1, 0); });
    }
}

// The server gives the keyboard only to a window that is on screen: the request waits until
// the window is exposed.
void WheelPanel::takeKeyboard(int attempt)
{
    constexpr int stepMs = 5;
    constexpr int attempts = 100;
    if (!isVisible()) return;
    if (windowHandle() && windowHandle()->isExposed()) {
        XcbWindows::giveFocus(winId());
    } else if (attempt < attempts) {
        QTimer::singleShot(stepMs, this, [this, attempt] { takeKeyboard(attempt + 1); });
    }
}

bool WheelPanel::event(QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate && onDeactivated) onDeactivated();
    return QWidget::event(event);
}
