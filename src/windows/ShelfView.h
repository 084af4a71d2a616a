#pragma once
#include "core/Paths.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <optional>

// The shelf's card: a preview of the first file (a stack for several), the name or count, a
// close mark. Its files are dragged out as a copy; files dropped on it join them.
class ShelfView : public QWidget {
    Q_OBJECT
public:
    explicit ShelfView(Paths urls, QWidget* parent = nullptr);
    const Paths& urls() const { return urls_; }
    // Appends files (not those already on the shelf) and rebuilds the preview.
    void add(const Paths& files);
    bool dropHighlight() const { return dropHighlight_; }

    std::function<void()> onClose;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void rebuildThumbnail();
    void dragOut();
    QPixmap preview() const;

    Paths urls_;
    QImage thumbnail_;
    std::optional<QPoint> pressedAt_;
    bool dropHighlight_ = false;
    int generation_ = 0;  // a preview made for an older file list is dropped
};
