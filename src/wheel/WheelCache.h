#pragma once
#include "wheel/Shadow.h"
#include "wheel/WheelText.h"

#include <QPainterPath>
#include <QString>

#include <functional>
#include <map>

// Outlines, pictures and fitted texts the wheel reuses from frame to frame, so that a frame
// mostly copies finished pictures. Pictures are dropped all at once past a memory budget.
class WheelCache {
public:
    // The outline of slice i of n grown by extra, around `centre`.
    const QPainterPath& outline(int i, int n, double extra, QPointF centre);
    // The band of two points along that outline (its stroke).
    const QPainterPath& edge(int i, int n, double extra, QPointF centre);
    Sprite sprite(const QString& key, const std::function<Sprite()>& make);
    FittedText text(const QString& key, const std::function<FittedText()>& make);

private:
    std::map<QString, QPainterPath> shapes_;
    std::map<QString, Sprite> sprites_;
    std::map<QString, FittedText> texts_;
    qsizetype spriteBytes_ = 0;
};
