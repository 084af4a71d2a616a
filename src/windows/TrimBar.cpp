#include "windows/TrimBar.h"

#include "wheel/WheelPalette.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
constexpr double inset = 10;  // room for the handles at both ends
constexpr double grabDistance = 10;  // how near a handle a press takes it
}

TrimBar::TrimBar(QWidget* parent) : QWidget(parent)
{
    setMinimumHeight(36);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TrimBar::setDuration(double seconds)
{
    duration_ = std::max(0.0, seconds);
    in_ = 0;
    out_ = duration_;
    update();
    emit rangeChanged(in_, out_);
}

void TrimBar::setPosition(double seconds)
{
    position_ = seconds;
    update();
}

QRectF TrimBar::track() const
{
    return QRectF(inset, 8, width() - 2 * inset, height() - 16);
}

double TrimBar::xOf(double seconds) const
{
    const QRectF t = track();
    return duration_ > 0 ? t.left() + t.width() * seconds / duration_ : t.left();
}

double TrimBar::secondsAt(double x) const
{
    const QRectF t = track();
    return std::clamp((x - t.left()) / t.width(), 0.0, 1.0) * duration_;
}

void TrimBar::mousePressEvent(QMouseEvent* event)
{
    if (duration_ <= 0) return;
    const double x = event->position().x();
    const double toIn = std::abs(x - xOf(in_)), toOut = std::abs(x - xOf(out_));
    if (std::min(toIn, toOut) <= grabDistance) grip_ = toIn < toOut ? Grip::in : Grip::out;
    else emit seek(secondsAt(x));
}

void TrimBar::mouseMoveEvent(QMouseEvent* event)
{
    if (!grip_) return;
    // The kept part never shrinks below a tenth of a second, nor below nothing for short clips.
    const double gap = std::min(0.1, duration_);
    const double at = secondsAt(event->position().x());
    if (*grip_ == Grip::in) in_ = std::min(at, out_ - gap);
    else out_ = std::max(at, in_ + gap);
    update();
    emit rangeChanged(in_, out_);
    emit seek(*grip_ == Grip::in ? in_ : out_);
}

void TrimBar::mouseReleaseEvent(QMouseEvent*)
{
    grip_.reset();
}

void TrimBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF t = track();
    const QColor base = palette().color(QPalette::Mid);
    p.setPen(Qt::NoPen);
    p.setBrush(base);
    p.drawRoundedRect(t, 4, 4);
    const QRectF kept(QPointF(xOf(in_), t.top()), QPointF(xOf(out_), t.bottom()));
    QColor fill = WheelPalettes::accent();
    fill.setAlphaF(0.35f);
    p.setBrush(fill);
    p.drawRect(kept);
    p.setPen(QPen(WheelPalettes::accent(), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(kept.adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(WheelPalettes::accent());
    for (double x : {kept.left(), kept.right()}) p.drawRoundedRect(QRectF(x - 4, t.top() - 4, 8, t.height() + 8), 3, 3);
    p.setPen(QPen(palette().color(QPalette::WindowText), 2));
    const double x = xOf(std::clamp(position_, 0.0, duration_));
    p.drawLine(QPointF(x, 2), QPointF(x, height() - 2));
}
