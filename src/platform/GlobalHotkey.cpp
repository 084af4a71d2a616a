#include "platform/GlobalHotkey.h"

#include "platform/X11Connection.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

GlobalHotkey::GlobalHotkey(X11Connection& x11) : x11_(x11)
{
    listener_ = x11_.listen([this](XEvent& e) { handle(e); });
}

GlobalHotkey::~GlobalHotkey()
{
    grab(false);
    x11_.unlisten(listener_);
}

void GlobalHotkey::apply(HotkeyChoice choice)
{
    if (registered_ == choice) return;
    grab(false);
    registered_ = choice;
    KeySym key = 0;
    unsigned int modifiers = 0;
    switch (choice) {
    case HotkeyChoice::off: return;
    case HotkeyChoice::ctrlOptSpace: key = XK_space, modifiers = ControlMask | x11_.altMask(); break;
    case HotkeyChoice::cmdOptReturn: key = XK_Return, modifiers = x11_.superMask() | x11_.altMask(); break;
    case HotkeyChoice::ctrlOptK: key = XK_k, modifiers = ControlMask | x11_.altMask(); break;
    }
    keycode_ = XKeysymToKeycode(x11_.display(), key);
    modifiers_ = modifiers;
    if (keycode_) grab(true);
}

// Caps Lock and Num Lock count as modifiers for a grab: each combination with them is
// grabbed too, or the shortcut would stop working while either is on.
void GlobalHotkey::grab(bool on)
{
    if (!on && !grabbed_) return;
    Display* display = x11_.display();
    const unsigned int numLock = x11_.numLockMask();
    const unsigned int variants[] = {0u, unsigned(LockMask), numLock, unsigned(LockMask) | numLock};
    for (unsigned int locks : variants) {
        if (on) XGrabKey(display, keycode_, modifiers_ | locks, x11_.root(), False, GrabModeAsync, GrabModeAsync);
        else XUngrabKey(display, keycode_, modifiers_ | locks, x11_.root());
    }
    const int error = x11_.sync();
    grabbed_ = on && error == 0;
    // Owned elsewhere (BadAccess): release whichever variants were granted.
    if (on && !grabbed_) {
        for (unsigned int locks : variants) XUngrabKey(display, keycode_, modifiers_ | locks, x11_.root());
        x11_.sync();
    }
    down_ = false;
}

void GlobalHotkey::handle(XEvent& event)
{
    if (!grabbed_ || (event.type != KeyPress && event.type != KeyRelease) || event.xkey.keycode != keycode_) return;
    if (event.type == KeyPress) {
        down_ = true;
    } else if (down_) {
        down_ = false;
        emit pressed();
    }
}
