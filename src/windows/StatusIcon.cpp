#include "windows/StatusIcon.h"

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

}
