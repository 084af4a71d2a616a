#include "windows/Shelf.h"

#include "platform/Compositor.h"
#include "windows/ShelfView.h"

#include <QCursor>
#include <QEasingCurve>
#include <QGuiApplication>
#include <QPainterPath>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QScreen>

#include <algorithm>

namespace {
const QSize cardSize(150, 168);
constexpr int slide = 16;

std::vector<Shelf*>& shelves()
{
    static std::vector<Shelf*> list;
    return list;
}

QParallelAnimationGroup* animate(QWidget* window, QPoint to, double opacity, int ms, const QEasingCurve& curve)
{
    auto* group = new QParallelAnimationGroup(window);
    auto* place = new QPropertyAnimation(window, "pos");
    place->setEndValue(to);
    auto* fade = new QPropertyAnimation(window, "windowOpacity");
    fade->setEndValue(opacity);
    for (QPropertyAnimation* animation : {place, fade}) {
        animation->setDuration(ms);
        animation->setEasingCurve(curve);
        group->addAnimation(animation);
    }
    group->start(QAbstractAnimation::DeleteWhenStopped);
    return group;
}
}

Shelf* Shelf::open(const Paths& urls, std::optional<QPoint> near)
{
    return new Shelf(urls, near.value_or(QCursor::pos()));
}

const std::vector<Shelf*>& Shelf::live()
{
    return shelves();
}

QPoint Shelf::placement(QPoint near, const QRect& visible)
{
    const int x = std::clamp(near.x() + 40, visible.left() + 8, visible.right() + 1 - cardSize.width() - 8);
    const int y = std::clamp(near.y() - cardSize.height() / 2, visible.top() + 8, visible.bottom() + 1 - cardSize.height() - 8);
    return {x, y};
}

Shelf::Shelf(const Paths& urls, QPoint near) : view_(new ShelfView(urls))
{
    view_->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    view_->setAttribute(Qt::WA_ShowWithoutActivating);
    view_->setAttribute(Qt::WA_TranslucentBackground);
    view_->setWindowTitle("Varnolt Shelf");
    view_->setFixedSize(cardSize);
    // Without a compositor the clear corners would show black: cut the window to the card.
    if (!Compositor::active()) {
        QPainterPath card;
        card.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(cardSize)), 18, 18);
        view_->setMask(QRegion(card.toFillPolygon().toPolygon()));
    }
    view_->onClose = [this] { close(); };

    const QScreen* screen = QGuiApplication::screenAt(near);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QPoint place = placement(near, screen ? screen->availableGeometry() : QRect(0, 0, 960, 600));
    view_->move(place - QPoint(slide, 0));
    view_->setWindowOpacity(0);
    view_->show();
    shelves().push_back(this);
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment({0.2, 0.9}, {0.3, 1.0}, {1, 1});
    animate(view_, place, 1, 300, curve);
}

Shelf::~Shelf()
{
    delete view_;
}

void Shelf::close()
{
    if (closing_) return;
    closing_ = true;
    QParallelAnimationGroup* fading = animate(view_, view_->pos(), 0, 200, QEasingCurve::InQuad);
    connect(fading, &QAbstractAnimation::finished, this, [this] {
        shelves().erase(std::remove(shelves().begin(), shelves().end(), this), shelves().end());
        view_->hide();
        deleteLater();
    });
}
