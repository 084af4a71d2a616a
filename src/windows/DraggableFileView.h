#pragma once
#include "core/Paths.h"

#include <QPixmap>
#include <QPoint>
#include <QWidget>

#include <optional>

// A file shown as its picture and name, which can be dragged into any other program as a
// copy of the file (text/uri-list).
class DraggableFileView : public QWidget {
    Q_OBJECT
public:
    explicit DraggableFileView(QWidget* parent = nullptr);
    void setUrl(const std::optional<Path>& url);
    const std::optional<Path>& url() const { return url_; }
    QSize sizeHint() const override { return {200, 124}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The 72 × 54 box the icon is drawn in, also while dragging.
    QRect iconBox() const;

    std::optional<Path> url_;
    QPixmap icon_;
    std::optional<QPoint> pressedAt_;
};
