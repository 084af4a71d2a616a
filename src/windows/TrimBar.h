#pragma once
#include <QWidget>

#include <optional>

// The trim editor's time line: the part kept between an in and an out handle, the rest
// dimmed, and the playhead. Dragging a handle moves it; a press elsewhere seeks. Seconds.
class TrimBar : public QWidget {
    Q_OBJECT
public:
    explicit TrimBar(QWidget* parent = nullptr);
    // Sets the length and puts the handles at both ends.
    void setDuration(double seconds);
    void setPosition(double seconds);
    double in() const { return in_; }
    double out() const { return out_; }
    QSize sizeHint() const override { return {400, 36}; }

signals:
    void rangeChanged(double in, double out);
    void seek(double seconds);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Grip { in, out };
    QRectF track() const;
    double xOf(double seconds) const;
    double secondsAt(double x) const;

    double duration_ = 0, in_ = 0, out_ = 0, position_ = 0;
    std::optional<Grip> grip_;
};
