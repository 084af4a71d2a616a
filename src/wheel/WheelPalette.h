#pragma once
#include <QColor>

// The wheel's colours for one appearance.
struct WheelPalette {
    QColor disc;
    QColor segTop;
    QColor segBottom;
    QColor highlight;
    QColor hub;
    QColor pill;
    QColor text;
    QColor subtext;
    QColor chipOff;
    double segShadow = 0;   // alpha of slice shadows
    double discShadow = 0;  // alpha of the disc shadow
};

namespace WheelPalettes {
const WheelPalette& light();
const WheelPalette& dark();
// The highlighted slice, the current page and the current mode.
QColor accent();
// a moved towards b by the fraction f, every component (alpha included) alike.
QColor blend(const QColor& a, const QColor& b, double f);
}
