#include "wheel/WheelPalette.h"

namespace WheelPalettes {

namespace {
QColor grey(double white, double alpha = 1)
{
    return QColor::fromRgbF(white, white, white, alpha);
}
}

const WheelPalette& light()
{
    static const WheelPalette palette{grey(0.925, 0.98), grey(0.975), grey(0.935), grey(1, 0.95), grey(0.985),
                                      grey(1), grey(0.08), grey(0.5), grey(0.72), 0.1, 0.22};
    return palette;
}

const WheelPalette& dark()
{
    static const WheelPalette palette{grey(0.13, 0.97), grey(0.24), grey(0.2), grey(1, 0.08), grey(0.1),
                                      grey(0.22), grey(0.95), grey(0.55), grey(0.38), 0.35, 0.5};
    return palette;
}

QColor accent()
{
    return QColor::fromRgbF(0.925, 0.37, 0.17);
}

QColor blend(const QColor& a, const QColor& b, double f)
{
    const auto mix = [f](float x, float y) { return x + (y - x) * f; };
    return QColor::fromRgbF(mix(a.redF(), b.redF()), mix(a.greenF(), b.greenF()), mix(a.blueF(), b.blueF()),
                            mix(a.alphaF(), b.alphaF()));
}

}
