#include "platform/FileSelection.h"

#include "platform/X11Connection.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <memory>

namespace FileSelection {

namespace {
constexpr int answerLimitMs = 500;
constexpr int keysUpLimitMs = 500;
constexpr int stepMs = 10;

// The window's class and instance names, for it or the nearest ancestor that has them.
QStringList windowClass(Display* display, Window window)
{
    while (window) {
        XClassHint hint{};
        if (XGetClassHint(display, window, &hint)) {
            QStringList names{QString::fromLocal8Bit(hint.res_name), QString::fromLocal8Bit(hint.res_class)};
            XFree(hint.res_name);
            XFree(hint.res_class);
            return names;
        }
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count)) break;
        if (children) XFree(children);
        if (parent == root) break;
        window = parent;
    }
    return {};
}

// The window manager's active window, else (with no window manager) the keyboard's focus.
Window activeWindow(X11Connection& x11)
{
    Display* display = x11.display();
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, rest = 0;
    unsigned char* data = nullptr;
    Window active = 0;
    if (XGetWindowProperty(display, x11.root(), x11.atom("_NET_ACTIVE_WINDOW"), 0, 1, False, XA_WINDOW, &type, &format, &count, &rest, &data) ==
            Success && data && count == 1 && format == 32) {
        active = *reinterpret_cast<Window*>(data);
    }
    if (data) XFree(data);
    if (!active) {
        int revert = 0;
        XGetInputFocus(display, &active, &revert);
        if (active == PointerRoot) active = 0;
    }
    return active;
}

bool keysHeld(X11Connection& x11)
{
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned int mask = 0;
    XQueryPointer(x11.display(), x11.root(), &root, &child, &rx, &ry, &wx, &wy, &mask);
    return mask & (ShiftMask | ControlMask | x11.altMask() | x11.superMask());
}

void typeCopy(X11Connection& x11)
{
    Display* display = x11.display();
    const KeyCode control = XKeysymToKeycode(display, XK_Control_L);
    const KeyCode c = XKeysymToKeycode(display, XK_c);
    XTestFakeKeyEvent(display, control, True, CurrentTime);
    XTestFakeKeyEvent(display, c, True, CurrentTime);
    XTestFakeKeyEvent(display, c, False, CurrentTime);
    XTestFakeKeyEvent(display, control, False, CurrentTime);
    XFlush(display);
}

std::unique_ptr<QMimeData> copyOf(const QMimeData* data)
{
    auto copy = std::make_unique<QMimeData>();
    if (!data) return copy;
    for (const QString& format : data->formats()) copy->setData(format, data->data(format));
    return copy;
}

Paths files(const QMimeData* data)
{
    Paths paths;
    if (!data) return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) paths.push_back(absoluteNormal(url.toLocalFile().toStdString()));
    }
    return paths;
}

// One reading in progress: waits for the shortcut's keys to come up (or the copy would be
// typed with them), types the copy, waits for the clipboard, then puts the user's back.
struct Reading : QObject {
    X11Connection& x11;
    std::function<void(const Paths&)> done;
    QPointer<QObject> context;
    std::unique_ptr<QMimeData> saved;
    QTimer step;
    QElapsedTimer clock;
    bool typed = false;

    Reading(X11Connection& x, QObject* c, std::function<void(const Paths&)> d) : x11(x), done(std::move(d)), context(c)
    {
        saved = copyOf(QGuiApplication::clipboard()->mimeData());
        step.setInterval(stepMs);
        connect(&step, &QTimer::timeout, this, &Reading::tick);
        connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
            if (typed) finish(files(QGuiApplication::clipboard()->mimeData()));
        });
        clock.start();
        step.start();
        tick();
    }

    void tick()
    {
        if (!typed) {
            if (keysHeld(x11) && clock.elapsed() < keysUpLimitMs) return;
            typed = true;
            clock.restart();
            typeCopy(x11);
        } else if (clock.elapsed() >= answerLimitMs) {
            finish({});
        }
    }

    void finish(const Paths& result)
    {
        step.stop();
        disconnect(QGuiApplication::clipboard(), nullptr, this, nullptr);
        if (typed) {
            if (saved->formats().isEmpty()) QGuiApplication::clipboard()->clear();
            else QGuiApplication::clipboard()->setMimeData(saved.release());
        }
        if (context) done(result);
        deleteLater();
    }
};
}

bool isFileManager(const QString& windowClass)
{
    static const QStringList known{"nautilus", "org.gnome.nautilus", "dolphin", "thunar", "nemo", "caja", "pcmanfm", "pcmanfm-qt"};
    return known.contains(windowClass.toLower());
}

void read(X11Connection& x11, QObject* context, std::function<void(const Paths&)> done)
{
    const QStringList names = windowClass(x11.display(), activeWindow(x11));
    if (std::none_of(names.begin(), names.end(), isFileManager)) {
        QTimer::singleShot(0, context, [done] { done({}); });
        return;
    }
    new Reading(x11, context, std::move(done));
}

}
