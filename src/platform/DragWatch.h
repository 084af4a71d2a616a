#pragma once
#include "core/Paths.h"

#include <QObject>
#include <QTimer>

class X11Connection;

// What X11 says about drags anywhere on the desktop: the left button going down (XInput 2 raw
// events), a new owner of XdndSelection (XFixes: the drag's "change count"), the pointer's
// button and modifier state on request, and the dragged files, asked of the drag source.
// While idle it only waits on the connection. Main thread only.
class DragWatch : public QObject {
    Q_OBJECT
public:
    // Throws KError when the X server lacks XInput 2 or XFixes.
    explicit DragWatch(X11Connection& x11);
    ~DragWatch() override;

    struct Pointer {
        bool buttonDown = false;
        Qt::KeyboardModifiers keys;  // Shift, Control, Alt, Meta (the Super key)
    };
    Pointer pointer() const;
    // How many times a drag source has taken XdndSelection so far.
    long changeCount() const { return changeCount_; }

    // Asks the source of the latest drag for its files as text/uri-list; filesArrived follows
    // within a second, with no files when the source refuses, carries no file URLs or does
    // not answer.
    void requestFiles();
    // Key presses anywhere (keyPressed) are reported only while this is on.
    void watchKeys(bool on);

    // The Qt key of an X key symbol for the keys a wheel answers to; 0 for others.
    static int qtKey(unsigned long keysym);

signals:
    void buttonPressed();
    void selectionChanged();
    void filesArrived(const Paths& files);
    void keyPressed(int qtKey);

private:
    void handle(union _XEvent& event);
    void selectRaw(bool keys);
    void finishRequest(const Paths& files);

    X11Connection& x11_;
    int listener_ = 0;
    int xiOpcode_ = 0;
    int fixesEvent_ = 0;
    unsigned long xdndSelection_ = 0;
    unsigned long uriList_ = 0;
    unsigned long property_ = 0;
    unsigned long window_ = 0;
    unsigned long selectionTime_ = 0;
    long changeCount_ = 0;
    bool requesting_ = false;
    bool keys_ = false;
    QTimer requestLimit_;
};
