#pragma once
#include "core/SettingChoices.h"

#include <QObject>

#include <optional>

class X11Connection;

// The system-wide shortcut that opens the wheel for the file manager's selection: a key grab
// on the root window. A combination the desktop already owns leaves the shortcut inactive,
// without a message. Main thread only.
class GlobalHotkey : public QObject {
    Q_OBJECT
public:
    explicit GlobalHotkey(X11Connection& x11);
    ~GlobalHotkey() override;

    // Makes the choice effective, replacing the one before; applying the same choice again
    // changes nothing.
    void apply(HotkeyChoice choice);
    std::optional<HotkeyChoice> registered() const { return registered_; }
    // Whether the keys are grabbed (false for off and for a combination owned elsewhere).
    bool active() const { return grabbed_; }

signals:
    // The shortcut was typed; sent when its key comes up, so that the keys no longer
    // held do not reach the window that opens.
    void pressed();

private:
    void grab(bool on);
    void handle(union _XEvent& event);

    X11Connection& x11_;
    int listener_ = 0;
    std::optional<HotkeyChoice> registered_;
    bool grabbed_ = false;
    bool down_ = false;
    unsigned int keycode_ = 0;
    unsigned int modifiers_ = 0;
};
