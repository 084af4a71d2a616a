#include "wheel/Shadow.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

void Sprite::draw(QPainter& painter, QPointF offset) const
{
    // Drawn pixel for pixel onto whole device pixels, the picture needs no resampling, and
    // copying it is many times faster than smooth scaling.
    const QTransform device = painter.deviceTransform();
    const QPointF at = device.map(origin + offset);
    const bool pixelForPixel = device.type() <= QTransform::TxScale && device.m11() == image.devicePixelRatio() &&
                               device.m22() == image.devicePixelRatio() && at == QPointF(at.toPoint());
    const bool smooth = painter.testRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth && !pixelForPixel);
    painter.drawImage(origin + offset, image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}

namespace Shadows {

namespace {
// One pass of a box blur of the given radius along rows (step 1) or columns (step = line
// length); three passes come close to a Gaussian.
void boxPass(uchar* data, int count, int length, int lineStep, int step, int radius, std::vector<int>& line)
{
    const int width = 2 * radius + 1;
    line.resize(length);
    for (int l = 0; l < count; ++l) {
        uchar* p = data + l * lineStep;
        for (int k = 0; k < length; ++k) line[k] = p[k * step];
        int sum = 0;
        for (int k = 0; k <= radius && k < length; ++k) sum += line[k];
        for (int k = 0; k < length; ++k) {
            p[k * step] = static_cast<uchar>((sum + width / 2) / width);
            if (k + radius + 1 < length) sum += line[k + radius + 1];
            if (k - radius >= 0) sum -= line[k - radius];
        }
    }
}

// Box radii whose three passes give a Gaussian of deviation sigma (pixels).
std::vector<int> boxRadii(double sigma)
{
    const double ideal = std::sqrt(12 * sigma * sigma / 3 + 1);
    int lower = static_cast<int>(std::floor(ideal));
    if (lower % 2 == 0) --lower;
    const int upper = lower + 2;
    const double m = std::round((12 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9) / (-4.0 * lower - 4));
    std::vector<int> radii;
    for (int k = 0; k < 3; ++k) radii.push_back(((k < m ? lower : upper) - 1) / 2);
    return radii;
}
}

Sprite make(const QPainterPath& shape, double blur, const QColor& colour, double devicePixelRatio)
{
    const double sigma = blur / 2;
    const double margin = std::ceil(3 * sigma) + 1;
    const QRectF box = shape.boundingRect().adjusted(-margin, -margin, margin, margin);
    const QPointF origin(std::floor(box.left()), std::floor(box.top()));
    const int width = static_cast<int>(std::ceil(box.right() - origin.x()) * devicePixelRatio);
    const int height = static_cast<int>(std::ceil(box.bottom() - origin.y()) * devicePixelRatio);

    QImage mask(width, height, QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(devicePixelRatio, devicePixelRatio);
        painter.translate(-origin);
        painter.fillPath(shape, Qt::black);
    }
    std::vector<int> line;
    for (int radius : boxRadii(sigma * devicePixelRatio)) {
        if (radius < 1) continue;
        boxPass(mask.bits(), height, width, static_cast<int>(mask.bytesPerLine()), 1, radius, line);
        boxPass(mask.bits(), width, height, 1, static_cast<int>(mask.bytesPerLine()), radius, line);
    }

    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    const QRgb full = colour.rgba();
    for (int y = 0; y < height; ++y) {
        const uchar* a = mask.constScanLine(y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int alpha = a[x] * qAlpha(full) / 255;
            out[x] = qRgba(qRed(full) * alpha / 255, qGreen(full) * alpha / 255, qBlue(full) * alpha / 255, alpha);
        }
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return {image, origin};
}

}
