#pragma once
#include "wheel/WheelView.h"

#include <QRect>
#include <QWidget>

#include <functional>
#include <optional>

// The wheel's own window: 380 × 380, frameless, translucent, above everything, and (for a
// drag) never taking the keyboard, so that the drag source keeps its keys. Without a
// compositor it is cut to the wheel's round shape instead of being translucent.
class WheelPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int side = 380;

    WheelPanel();
    WheelView& view() { return *view_; }

    // Where the panel goes so that its centre is under the pointer, kept inside the screen's
    // work area when there is one.
    static QPoint origin(QPoint mouse, std::optional<QRect> workArea);
    // Shows the panel centred under the pointer; focusable for the keyboard-driven wheel.
    void present(bool focusable);

    // The panel lost the keyboard (the user clicked elsewhere).
    std::function<void()> onDeactivated;

protected:
    bool event(QEvent* event) override;

private:
    void takeKeyboard(int attempt);

    WheelView* view_;
};
