#include "platform/DragWatch.h"

#include "core/Errors.h"
#include "platform/X11Connection.h"

#include <QUrl>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

namespace {
// How long a drag's source may take to hand over its files. Sources that have none refuse at
// once; a source busy on a loaded machine can take over a second and still deserves its wheel.
constexpr int answerLimitMs = 3000;

Paths fileUrls(const QByteArray& uriList)
{
    Paths files;
    for (QByteArray line : uriList.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QUrl url = QUrl::fromEncoded(line);
        if (url.isLocalFile()) files.push_back(absoluteNormal(url.toLocalFile().toStdString()));
    }
    return files;
}
}

DragWatch::DragWatch(X11Connection& x11) : x11_(x11)
{
    Display* display = x11_.display();
    int event = 0, error = 0;
    int major = 2, minor = 2;
    if (!XQueryExtension(display, "XInputExtension", &xiOpcode_, &event, &error) || XIQueryVersion(display, &major, &minor) != Success) {
        throw KError("The X server has no XInput 2, so drags cannot be watched");
    }
    if (!XFixesQueryExtension(display, &fixesEvent_, &error)) throw KError("The X server has no XFixes, so drags cannot be watched");
    XFixesQueryVersion(display, &major, &minor);

    xdndSelection_ = x11_.atom("XdndSelection");
    uriList_ = x11_.atom("text/uri-list");
    property_ = x11_.atom("VARNOLT_DRAGGED_FILES");
    // An unmapped window of our own receives the source's answer.
    window_ = XCreateSimpleWindow(display, x11_.root(), -10, -10, 1, 1, 0, 0, 0);
    XFixesSelectSelectionInput(display, x11_.root(), xdndSelection_,
                               XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
                                   XFixesSelectionClientCloseNotifyMask);
    selectRaw(false);
    listener_ = x11_.listen([this](XEvent& e) { handle(e); });
    if (x11_.sync()) throw KError("The X server refused to report drags");

    requestLimit_.setSingleShot(true);
    requestLimit_.setInterval(answerLimitMs);
    connect(&requestLimit_, &QTimer::timeout, this, [this] { finishRequest({}); });
}

DragWatch::~DragWatch()
{
    x11_.unlisten(listener_);
    XDestroyWindow(x11_.display(), window_);
    XFlush(x11_.display());
}

void DragWatch::selectRaw(bool keys)
{
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawButtonPress);
    if (keys) XISetMask(bits, XI_RawKeyPress);
    XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
    XISelectEvents(x11_.display(), x11_.root(), &mask, 1);
    XFlush(x11_.display());
}

void DragWatch::watchKeys(bool on)
{
    if (on == keys_) return;
    keys_ = on;
    selectRaw(on);
}

DragWatch::Pointer DragWatch::pointer() const
{
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(x11_.display(), x11_.root(), &root, &child, &rootX, &rootY, &x, &y, &mask)) return {};
    Pointer p;
    p.buttonDown = mask & Button1Mask;
    p.keys.setFlag(Qt::ShiftModifier, mask & ShiftMask);
    p.keys.setFlag(Qt::ControlModifier, mask & ControlMask);
    p.keys.setFlag(Qt::AltModifier, mask & x11_.altMask());
    p.keys.setFlag(Qt::MetaModifier, mask & x11_.superMask());
    return p;
}

void DragWatch::requestFiles()
{
    requesting_ = true;
    // The selection's own timestamp: Qt sources refuse CurrentTime. Qt answers text/uri-list
    // but not TARGETS for drags, so the list is asked for directly.
    XConvertSelection(x11_.display(), xdndSelection_, uriList_, property_, window_, selectionTime_);
    XFlush(x11_.display());
    requestLimit_.start();
}

void DragWatch::finishRequest(const Paths& files)
{
    if (!requesting_) return;
    requesting_ = false;
    requestLimit_.stop();
    emit filesArrived(files);
}

void DragWatch::handle(XEvent& event)
{
    if (event.type == fixesEvent_ + XFixesSelectionNotify) {
        const auto& notify = reinterpret_cast<XFixesSelectionNotifyEvent&>(event);
        if (notify.selection != xdndSelection_ || notify.subtype != XFixesSetSelectionOwnerNotify || !notify.owner) return;
        selectionTime_ = notify.selection_timestamp;
        ++changeCount_;
        emit selectionChanged();
    } else if (event.type == SelectionNotify && event.xselection.requestor == window_) {
        if (!requesting_) return;
        if (event.xselection.property == 0) return finishRequest({});
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, rest = 0;
        unsigned char* data = nullptr;
        Paths files;
        if (XGetWindowProperty(x11_.display(), window_, property_, 0, 1 << 20, True, AnyPropertyType, &type, &format, &count, &rest, &data) ==
                Success && data && format == 8) {
            files = fileUrls(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(count)));
        }
        if (data) XFree(data);
        finishRequest(files);
    } else if (event.type == GenericEvent && event.xcookie.extension == xiOpcode_) {
        if (!XGetEventData(x11_.display(), &event.xcookie)) return;
        const auto* raw = static_cast<const XIRawEvent*>(event.xcookie.data);
        if (event.xcookie.evtype == XI_RawButtonPress && raw->detail == 1) {
            emit buttonPressed();
        } else if (event.xcookie.evtype == XI_RawKeyPress && keys_) {
            if (const int key = qtKey(XkbKeycodeToKeysym(x11_.display(), raw->detail, 0, 0))) emit keyPressed(key);
        }
        XFreeEventData(x11_.display(), &event.xcookie);
    }
}

int DragWatch::qtKey(unsigned long keysym)
{
    switch (keysym) {
    case XK_Left: return Qt::Key_Left;
    case XK_Up: return Qt::Key_Up;
    case XK_Right: return Qt::Key_Right;
    case XK_Down: return Qt::Key_Down;
    case XK_Return: return Qt::Key_Return;
    case XK_KP_Enter: return Qt::Key_Enter;
    case XK_Tab: return Qt::Key_Tab;
    case XK_Escape: return Qt::Key_Escape;
    default: return 0;
    }
}
