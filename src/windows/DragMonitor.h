#pragma once
#include "core/Paths.h"
#include "core/WheelMode.h"

#include <QObject>
#include <QTimer>

#include <optional>

class DragWatch;
class WheelController;

// Watches file drags anywhere on the desktop and opens the wheel when a trigger key goes
// down during one. Between a press of the left button and the end of the drag or click it
// reads the pointer 120 times a second; otherwise it only waits for the X server.
// Main thread only.
class DragMonitor : public QObject {
    Q_OBJECT
public:
    DragMonitor(DragWatch& watch, WheelController& wheel);

    // The wheel a change of the held keys opens during a drag: a fresh press (no key in
    // common with those held before) of exactly one page's trigger key, and nothing else.
    static std::optional<WheelMode> pressedMode(Qt::KeyboardModifiers before, Qt::KeyboardModifiers now);
    bool polling() const { return timer_.isActive(); }

private:
    enum class Files { unknown, asked, known };

    void mouseDown();
    void startPolling();
    void stopPolling();
    void poll();
    void handleFlags(Qt::KeyboardModifiers flags);
    void open(WheelMode mode);
    void filesArrived(const Paths& files);
    void keyPressed(int qtKey);

    DragWatch& watch_;
    WheelController& wheel_;
    QTimer timer_;
    long baselineChangeCount_ = 0;
    bool dragActive_ = false;
    Qt::KeyboardModifiers lastFlags_;
    int upCount_ = 0;
    // The dragged files are asked of the source once per drag; a trigger key pressed before
    // they arrive waits for them.
    Files files_ = Files::unknown;
    Paths dragged_;
    std::optional<WheelMode> waiting_;
};
