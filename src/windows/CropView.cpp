#include "windows/CropView.h"

#include "wheel/WheelPalette.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {
constexpr double margin = 24;     // around the picture
constexpr double tolerance = 12;  // how near an edge a press grabs it
constexpr double smallest = 16;   // points an edge drag leaves at least

bool movesLeft(CropView::Handle h)
{
    return h == CropView::Handle::w || h == CropView::Handle::nw || h == CropView::Handle::sw;
}
bool movesRight(CropView::Handle h)
{
    return h == CropView::Handle::e || h == CropView::Handle::ne || h == CropView::Handle::se;
}
bool movesTop(CropView::Handle h)
{
    return h == CropView::Handle::n || h == CropView::Handle::ne || h == CropView::Handle::nw;
}
bool movesBottom(CropView::Handle h)
{
    return h == CropView::Handle::s || h == CropView::Handle::se || h == CropView::Handle::sw;
}
}

CropView::CropView(QImage preview, QSize pixels, QWidget* parent)
    : QWidget(parent), preview_(std::move(preview)), pixels_(pixels), crop_(0, 0, pixels.width(), pixels.height())
{
    setMouseTracking(true);
    setMinimumSize(200, 150);
}

double CropView::scale() const
{
    const QRectF area = QRectF(rect()).adjusted(margin, margin, -margin, -margin);
    return std::max(1e-6, std::min(area.width() / pixels_.width(), area.height() / pixels_.height()));
}

QRectF CropView::imageRect() const
{
    const double k = scale();
    const QSizeF size(pixels_.width() * k, pixels_.height() * k);
    return {QPointF(width() - size.width(), height() - size.height()) / 2, size};
}

QRectF CropView::cropInView() const
{
    const double k = scale();
    const QPointF origin = imageRect().topLeft();
    return {origin + crop_.topLeft() * k, crop_.size() * k};
}

Editing::Rect CropView::crop() const
{
    // Rounding the edges, not the size, keeps the rectangle inside the picture.
    const int left = static_cast<int>(std::lround(crop_.left())), top = static_cast<int>(std::lround(crop_.top()));
    const int right = std::min(pixels_.width(), static_cast<int>(std::lround(crop_.right())));
    const int bottom = std::min(pixels_.height(), static_cast<int>(std::lround(crop_.bottom())));
    return {left, top, right - left, bottom - top};
}

void CropView::setAspect(std::optional<double> aspect)
{
    if (aspect && *aspect == 0) aspect = double(pixels_.width()) / pixels_.height();
    aspect_ = aspect;
    if (aspect_) {
        double w = pixels_.width(), h = w / *aspect_;
        if (h > pixels_.height()) {
            h = pixels_.height();
            w = *aspect_ * h;
        }
        crop_ = QRectF((pixels_.width() - w) / 2, (pixels_.height() - h) / 2, w, h);
    }
    update();
    emit changed(crop());
}

std::optional<CropView::Handle> CropView::handleAt(QPointF p) const
{
    const QRectF r = cropInView();
    const auto near = [](double a, double b) { return std::abs(a - b) <= tolerance; };
    const bool top = near(p.y(), r.top()), bottom = near(p.y(), r.bottom());
    const bool left = near(p.x(), r.left()), right = near(p.x(), r.right());
    if (top && (left || right)) return left ? Handle::nw : Handle::ne;
    if (bottom && (left || right)) return left ? Handle::sw : Handle::se;
    if (!aspect_) {
        const bool across = p.x() >= r.left() - tolerance && p.x() <= r.right() + tolerance;
        const bool along = p.y() >= r.top() - tolerance && p.y() <= r.bottom() + tolerance;
        if (top && across) return Handle::n;
        if (bottom && across) return Handle::s;
        if (left && along) return Handle::w;
        if (right && along) return Handle::e;
    }
    if (r.contains(p)) return Handle::move;
    return std::nullopt;
}

void CropView::drag(QPointF point)
{
    const double k = scale();
    const QPointF d = (point - dragStart_) / k;
    const double m = smallest / k, W = pixels_.width(), H = pixels_.height();
    const Handle h = *dragging_;
    if (h == Handle::move) {
        const double x = std::clamp(cropAtStart_.left() + d.x(), 0.0, W - cropAtStart_.width());
        const double y = std::clamp(cropAtStart_.top() + d.y(), 0.0, H - cropAtStart_.height());
        crop_ = QRectF(QPointF(x, y), cropAtStart_.size());
    } else {
        double left = cropAtStart_.left(), right = cropAtStart_.right(), top = cropAtStart_.top(), bottom = cropAtStart_.bottom();
        if (movesRight(h)) right = std::max(left + m, std::min(right + d.x(), W));
        if (movesLeft(h)) left = std::min(right - m, std::max(left + d.x(), 0.0));
        if (movesTop(h)) top = std::min(bottom - m, std::max(top + d.y(), 0.0));
        if (movesBottom(h)) bottom = std::max(top + m, std::min(bottom + d.y(), H));
        if (aspect_) {
            double w = right - left, height = w / *aspect_;
            const double room = movesBottom(h) ? H - top : bottom;
            if (height > room) {
                height = room;
                w = *aspect_ * height;
            }
            if (movesLeft(h)) left = right - w;
            else right = left + w;
            if (movesTop(h)) top = bottom - height;
            else bottom = top + height;
        }
        crop_ = QRectF(QPointF(left, top), QPointF(right, bottom));
    }
    update();
    emit changed(crop());
}

void CropView::mousePressEvent(QMouseEvent* event)
{
    dragging_ = handleAt(event->position());
    dragStart_ = event->position();
    cropAtStart_ = crop_;
}

void CropView::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_) drag(event->position());
    else setCursor(cropInView().contains(event->position()) ? Qt::OpenHandCursor : Qt::ArrowCursor);
}

void CropView::mouseReleaseEvent(QMouseEvent*)
{
    dragging_.reset();
}

void CropView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.fillRect(rect(), QColor::fromRgbF(0.1f, 0.1f, 0.1f));
    const QRectF image = imageRect(), r = cropInView();
    p.drawImage(image, preview_);

    QPainterPath outside;
    outside.setFillRule(Qt::OddEvenFill);
    outside.addRect(image);
    outside.addRect(r);
    p.fillPath(outside, QColor::fromRgbF(0, 0, 0, 0.55f));

    p.setPen(QPen(QColor::fromRgbF(1, 1, 1, 0.35f), 0.75));
    for (int i = 1; i <= 2; ++i) {
        const double x = r.left() + r.width() * i / 3, y = r.top() + r.height() * i / 3;
        p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
    p.setPen(QPen(Qt::white, 1.5));
    p.drawRect(r);

    p.setPen(QPen(WheelPalettes::accent(), 4, Qt::SolidLine, Qt::RoundCap));
    const double len = std::min({16.0, r.width() / 2, r.height() / 2});
    for (const QPointF corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
        const double dx = corner.x() == r.left() ? len : -len, dy = corner.y() == r.top() ? len : -len;
        p.drawLine(corner, corner + QPointF(dx, 0));
        p.drawLine(corner, corner + QPointF(0, dy));
    }
}
