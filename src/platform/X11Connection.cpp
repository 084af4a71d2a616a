#include "platform/X11Connection.h"

#include "core/Errors.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <mutex>
#include <set>

namespace {
// Xlib reports request errors through one process-wide handler. Errors on our connections
// are noted for sync() to return; anything else goes to the handler that was there before.
XErrorHandler previousHandler = nullptr;
int lastError = 0;
std::set<Display*> ours;

int noteError(Display* display, XErrorEvent* error)
{
    if (ours.count(display)) {
        if (!lastError) lastError = error->error_code;
        return 0;
    }
    return previousHandler ? previousHandler(display, error) : 0;
}
}

X11Connection::X11Connection()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) throw KError("There is no X display (DISPLAY is not set)");
    display_ = XOpenDisplay(nullptr);
    if (!display_) throw KError("The X display " + qEnvironmentVariable("DISPLAY").toStdString() + " refused a connection");
    static std::once_flag installed;
    std::call_once(installed, [] { previousHandler = XSetErrorHandler(noteError); });
    ours.insert(display_);
    // Held keys repeat as presses only, so a release always means the key came up.
    XkbSetDetectableAutoRepeat(display_, True, nullptr);
    readModifierMap();

    notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &X11Connection::dispatch);
    // A round trip (a pointer query, a sync) may read events into Xlib's queue while the
    // socket then has nothing more to say: they are handed out before the loop sleeps.
    if (auto* loop = QAbstractEventDispatcher::instance()) {
        connect(loop, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (XEventsQueued(display_, QueuedAlready) > 0) dispatch();
        });
    }
}

X11Connection::~X11Connection()
{
    notifier_.reset();
    ours.erase(display_);
    XCloseDisplay(display_);
}

unsigned long X11Connection::root() const
{
    return DefaultRootWindow(display_);
}

unsigned long X11Connection::atom(const char* name) const
{
    return XInternAtom(display_, name, False);
}

int X11Connection::listen(Listener listener)
{
    listeners_[++nextId_] = std::move(listener);
    return nextId_;
}

void X11Connection::unlisten(int id)
{
    listeners_.erase(id);
}

int X11Connection::sync()
{
    lastError = 0;
    XSync(display_, False);
    const int error = lastError;
    lastError = 0;
    return error;
}

void X11Connection::dispatch()
{
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
            readModifierMap();
        }
        // A listener may remove itself or others while it runs.
        const auto listeners = listeners_;
        for (const auto& [id, listener] : listeners) {
            if (listeners_.count(id)) listener(event);
        }
    }
}

// Alt and Super are usually Mod1 and Mod4, but the keyboard map decides.
void X11Connection::readModifierMap()
{
    altMask_ = superMask_ = numLockMask_ = 0;
    XModifierKeymap* map = XGetModifierMapping(display_);
    if (!map) return;
    for (int modifier = Mod1MapIndex; modifier <= Mod5MapIndex; ++modifier) {
        for (int k = 0; k < map->max_keypermod; ++k) {
            const KeyCode code = map->modifiermap[modifier * map->max_keypermod + k];
            if (!code) continue;
            const KeySym sym = XkbKeycodeToKeysym(display_, code, 0, 0);
            if (sym == XK_Alt_L || sym == XK_Alt_R || sym == XK_Meta_L || sym == XK_Meta_R) altMask_ |= 1u << modifier;
            if (sym == XK_Super_L || sym == XK_Super_R) superMask_ |= 1u << modifier;
            if (sym == XK_Num_Lock) numLockMask_ |= 1u << modifier;
        }
    }
    XFreeModifiermap(map);
    if (!altMask_) altMask_ = Mod1Mask;
    if (!superMask_) superMask_ = Mod4Mask;
    if (!numLockMask_) numLockMask_ = Mod2Mask;
}
