#include "wheel/WheelCache.h"

#include "wheel/WheelGeometry.h"

#include <cmath>

namespace {
constexpr qsizetype spriteBudget = 48 << 20;
constexpr size_t textBudget = 512;

QString shapeKey(int i, int n, double extra, QPointF centre)
{
    return QString("%1-%2-%3-%4").arg(n).arg(i).arg(std::lround(extra * 4)).arg(centre.x() * 2);
}
}

const QPainterPath& WheelCache::outline(int i, int n, double extra, QPointF centre)
{
    const QString key = shapeKey(i, n, extra, centre);
    auto found = shapes_.find(key);
    if (found == shapes_.end()) found = shapes_.emplace(key, WheelGeometry::segmentShape(i, n, extra, centre)).first;
    return found->second;
}

const QPainterPath& WheelCache::edge(int i, int n, double extra, QPointF centre)
{
    const QString key = "edge" + shapeKey(i, n, extra, centre);
    auto found = shapes_.find(key);
    if (found == shapes_.end()) found = shapes_.emplace(key, WheelGeometry::segmentEdge(i, n, extra, 2, centre)).first;
    return found->second;
}

Sprite WheelCache::sprite(const QString& key, const std::function<Sprite()>& make)
{
    auto found = sprites_.find(key);
    if (found != sprites_.end()) return found->second;
    Sprite made = make();
    if (spriteBytes_ + made.image.sizeInBytes() > spriteBudget) {
        sprites_.clear();
        spriteBytes_ = 0;
    }
    spriteBytes_ += made.image.sizeInBytes();
    return sprites_.emplace(key, std::move(made)).first->second;
}

FittedText WheelCache::text(const QString& key, const std::function<FittedText()>& make)
{
    auto found = texts_.find(key);
    if (found != texts_.end()) return found->second;
    if (texts_.size() >= textBudget) texts_.clear();
    return texts_.emplace(key, make()).first->second;
}
