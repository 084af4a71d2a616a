#include "windows/StatusIcon.h"

#include "wheel/WheelPalette.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include <cmath>
#include <numbers>

namespace StatusIcon {

QImage image(const QColor& color, qreal scale)
{
    constexpr qreal side = 18;
    const int pixels = static_cast<int>(std::lround(side * scale));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    const QPointF centre(side / 2, side / 2);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, 1.6));
    p.drawEllipse(QRectF(1.5, 1.5, side - 3, side - 3));

    p.setPen(QPen(color, 1.4, Qt::SolidLine, Qt::FlatCap));
    for (const int degrees : {90, 150, 210, 270, 330, 30}) {
        const qreal a = degrees * std::numbers::pi / 180;
        const QPointF direction(std::cos(a), -std::sin(a));
        p.drawLine(centre + direction * 4.5, centre + direction * 7.5);
    }

    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(centre, 3.0, 3.0);
    return image;
}

QIcon icon()
{
    const QColor color = QGuiApplication::palette().color(QPalette::WindowText);
    QIcon icon;
    for (const qreal scale : {1.0, 2.0}) icon.addPixmap(QPixmap::fromImage(image(color, scale)));
    return icon;
}

QImage applicationImage(int pixels)
{
    QImage icon(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(WheelPalettes::accent());
    const qreal margin = pixels / 16.0;
    p.drawEllipse(QRectF(margin, margin, pixels - 2 * margin, pixels - 2 * margin));
    // The tray drawing fills 18 points; inside the disc it takes two thirds of the width.
    const qreal glyph = pixels * 2.0 / 3.0;
    p.drawImage(QPointF((pixels - glyph) / 2, (pixels - glyph) / 2), image(Qt::white, glyph / 18.0));
    return icon;
}

}
