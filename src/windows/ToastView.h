#pragma once
#include "windows/ToastModel.h"

#include <QImage>
#include <QVariantAnimation>
#include <QWidget>

#include <optional>

// The card of a toast: a frameless, translucent, always-on-top tool window of 340 × 64 that
// never takes the focus. It draws a ToastModel (state icon, title, subtitle, Undo button),
// springs into new content, and reports clicks, the Undo button and drags of the outputs.
class ToastView : public QWidget {
    Q_OBJECT
public:
    explicit ToastView(const ToastModel& model);

    // New text, state or outputs cross-fade in on a spring; a new fraction done just redraws.
    void setModel(const ToastModel& model);
    const ToastModel& model() const { return model_; }
    // Light or dark regardless of the desktop; none follows the desktop's colour scheme.
    void setDarkAppearance(std::optional<bool> dark);
    bool darkAppearance() const;
    // The Undo button in the card's coordinates; empty while there are no outputs.
    QRect undoButton() const;

signals:
    void clicked();
    void undoClicked();
    // A drag of the outputs into another program started (true) or ended (false).
    void dragging(bool active);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Colours;
    Colours colours() const;
    void paintContent(QPainter& painter, const ToastModel& model, const Colours& colours) const;
    void paintIcon(QPainter& painter, const ToastModel& model, const Colours& colours, QRectF box) const;
    QImage contentPicture() const;
    void runSpinner();
    void dragOutputs();

    ToastModel model_;
    std::optional<bool> dark_;
    bool opaque_ = false;      // no compositor: the card is drawn solid and cut to shape
    QImage previous_;          // the content before the last change, fading out
    QVariantAnimation spring_;
    QVariantAnimation spinner_;
    std::optional<QPoint> pressedAt_;
    bool pressedOnUndo_ = false;
};
