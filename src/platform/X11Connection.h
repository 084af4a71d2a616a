#pragma once
#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <map>
#include <memory>

typedef struct _XDisplay Display;
union _XEvent;

// A connection of Varnolt's own to the X server, beside Qt's, for watching the whole desktop
// (drags, the hotkey) without disturbing Qt's own event handling. Events are read only when
// its socket has data, so an idle connection costs nothing. Main thread only.
class X11Connection : public QObject {
    Q_OBJECT
public:
    // Throws KError with the reason when there is no X display or it refuses a connection.
    X11Connection();
    ~X11Connection() override;

    Display* display() const { return display_; }
    unsigned long root() const;
    unsigned long atom(const char* name) const;
    // The X modifier bit of the Alt and Super keys, as the keyboard's modifier map has them.
    unsigned int altMask() const { return altMask_; }
    unsigned int superMask() const { return superMask_; }
    unsigned int numLockMask() const { return numLockMask_; }

    using Listener = std::function<void(_XEvent& event)>;
    // Every event read from now on goes to the listener until it is removed.
    int listen(Listener listener);
    void unlisten(int id);

    // Sends the requests so far, waits for the server, and answers the X error code the
    // first failed one caused (0 when none failed).
    int sync();
    // Hands every event already read to the listeners.
    void dispatch();

private:
    void readModifierMap();

    Display* display_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::map<int, Listener> listeners_;
    int nextId_ = 0;
    unsigned int altMask_ = 0;
    unsigned int superMask_ = 0;
    unsigned int numLockMask_ = 0;
};
