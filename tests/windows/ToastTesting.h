#pragma once
#include "TestDesktop.h"

#include "windows/Toast.h"
#include "windows/ToastView.h"

#include <QColor>

// Finding, waiting for and clicking toasts in the window tests.
namespace ToastTesting {

inline Toast* newest()
{
    return Toast::live().empty() ? nullptr : Toast::live().back();
}

// Dismisses every toast and waits until all are gone, so that a test starts with none.
inline void clear()
{
    for (Toast* toast : Toast::live()) toast->dismiss();
    TestDesktop::waitFor([] { return Toast::live().empty(); });
}

// Waits until the card has risen into place and been drawn.
inline bool settled(const Toast* toast)
{
    const bool risen = TestDesktop::waitFor([&] { return toast->view().pos() == toast->restingPlace(); });
    TestDesktop::pause(100);
    return risen;
}

// Clicks a point of the card (card coordinates) with the real pointer.
inline bool click(const Toast* toast, QPoint at)
{
    settled(toast);
    const QPoint p = toast->view().mapToGlobal(at);
    return TestDesktop::xdotool({"mousemove", QString::number(p.x()), QString::number(p.y()), "click", "1"});
}

// A pixel of the screen at a point of the card.
inline QColor pixel(const QImage& screen, const Toast* toast, QPoint at)
{
    return screen.pixelColor(toast->view().mapToGlobal(at));
}

inline bool near(const QColor& a, const QColor& b, int tolerance = 24)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

}
