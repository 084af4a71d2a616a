#pragma once
#include "core/Editing.h"

#include <QImage>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <optional>

// The picture being cropped with the crop rectangle over it: everything outside the rectangle
// dimmed, rule-of-thirds lines, corner brackets; edges, corners and the inside can be dragged.
// Works in the pixels of the whole picture, whatever the size of the preview it draws.
class CropView : public QWidget {
    Q_OBJECT
public:
    enum class Handle { move, n, s, e, w, ne, nw, se, sw };

    // preview: the picture, possibly scaled down; pixels: the picture's own size.
    CropView(QImage preview, QSize pixels, QWidget* parent = nullptr);

    // A fixed width ÷ height, 0 for the picture's own ratio, or none for free cropping. A
    // ratio sets the largest crop of that ratio centred in the picture.
    void setAspect(std::optional<double> aspect);
    // The crop in whole pixels, origin at the top left, never outside the picture.
    Editing::Rect crop() const;
    // The crop and the picture's placement, in widget coordinates.
    QRectF cropInView() const;
    QRectF imageRect() const;
    std::optional<Handle> handleAt(QPointF point) const;

signals:
    void changed(const Editing::Rect& crop);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    double scale() const;
    void drag(QPointF point);

    QImage preview_;
    QSize pixels_;
    QRectF crop_;  // picture pixels, origin top left
    std::optional<double> aspect_;
    std::optional<Handle> dragging_;
    QPointF dragStart_;
    QRectF cropAtStart_;
};
