#include "wheel/WheelText.h"

#include <QFontMetricsF>
#include <QPainter>

namespace WheelText {

QFont font(double size, QFont::Weight weight, double kern, const QPaintDevice* device)
{
    QFont f;
    f.setWeight(weight);
    f.setPointSizeF(size * 72.0 / device->logicalDpiY());
    f.setLetterSpacing(QFont::AbsoluteSpacing, kern);
    // Unhinted glyphs keep their shape while the wheel scales in and out.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

FittedText prepare(const QString& text, const QFont& font, const QPaintDevice* device)
{
    const QFontMetricsF metrics(font, device);
    QStaticText layout(text);
    layout.setTextFormat(Qt::PlainText);
    layout.prepare(QTransform(), font);
    return {font, layout, metrics.horizontalAdvance(text) - font.letterSpacing(), metrics.ascent(), metrics.capHeight()};
}

FittedText fit(const QString& text, double size, double floor, QFont::Weight weight, double kern, double maxWidth,
               const QPaintDevice* device)
{
    while (true) {
        const QFont f = font(size, weight, kern, device);
        const QFontMetricsF metrics(f, device);
        if (metrics.horizontalAdvance(text) - kern <= maxWidth) return prepare(text, f, device);
        // Still too wide at the smallest size: cut it short rather than spill out of its place.
        if (size <= floor) return prepare(metrics.elidedText(text, Qt::ElideRight, maxWidth + kern), f, device);
        size -= 0.5;
    }
}

void draw(QPainter& painter, const FittedText& text, double left, double baseline)
{
    painter.setFont(text.font);
    painter.drawStaticText(QPointF(left, baseline - text.ascent), text.layout);
}

void drawCentred(QPainter& painter, const FittedText& text, QPointF at)
{
    draw(painter, text, at.x() - text.width / 2, at.y() + text.capHeight / 2);
}

}
