// The zero-click path's two costs, measured inside a running tray application on the X
// display it is given: the time from a trigger key's press (sent through XTest, as xdotool
// sends it) to the wheel's first painted frame during a real drag from another program, and
// how often the application wakes up while nobody drags.
#include "core/Settings.h"
#include "windows/App.h"
#include "windows/WheelPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

// Notes when a wheel first paints after the filter is installed on the application.
struct FirstPaint : QObject {
    std::optional<Clock::time_point> at;
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !at && qobject_cast<WheelView*>(object)) at = Clock::now();
        return false;
    }
};

// Context switches of each thread of this process so far: each is a wake-up or a preemption.
std::map<std::string, long> switches()
{
    std::map<std::string, long> threads;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream status(task.path() / "status");
        std::string line;
        long total = 0;
        while (std::getline(status, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0 || line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
                total += std::stol(line.substr(line.find(':') + 1));
            }
        }
        threads[task.path().filename().string()] = total;
    }
    return threads;
}

// The wake-ups between two readings; a thread that started or ended meanwhile woke at least
// for that, and counts with what it shows.
long wakeUps(const std::map<std::string, long>& before, const std::map<std::string, long>& after)
{
    long total = 0;
    for (const auto& [thread, count] : after) total += before.count(thread) ? count - before.at(thread) : count;
    for (const auto& [thread, count] : before) total += after.count(thread) ? 0 : 1;
    return total;
}

// A drag that fails to open a wheel is counted as missing, not waited for forever.
template <typename Condition>
void waitUntil(Condition condition, int ms)
{
    static_cast<void>(QTest::qWaitFor(condition, ms));
}

void send(Display* display, const std::function<void()>& events)
{
    events();
    XFlush(display);
}
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: drag_bench <drag_source> <file> [runs] [idle seconds]\n");
        return 2;
    }
    QApplication application(argc, argv);
    QApplication::setOrganizationName("Varnolt");
    QApplication::setApplicationName("Varnolt");
    const int runs = argc > 3 ? std::atoi(argv[3]) : 20;
    const int idleSeconds = argc > 4 ? std::atoi(argv[4]) : 60;
    Settings::setValue("didShowWelcome", true);
    App app({}, true);

    QProcess source;
    source.start(argv[1], {argv[2]});
    if (!QTest::qWaitFor([&] { return source.readAllStandardOutput().contains("ready"); }, 10000)) {
        std::fprintf(stderr, "the drag source did not start\n");
        return 1;
    }

    Display* display = XOpenDisplay(nullptr);
    const KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    std::vector<double> latencies;
    for (int run = 0; run < runs; ++run) {
        send(display, [&] {
            XTestFakeMotionEvent(display, -1, 100, 80, 0);
            XTestFakeButtonEvent(display, 1, True, 0);
        });
        for (const int x : {110, 130, 300, 600}) {
            QTest::qWait(30);
            send(display, [&] { XTestFakeMotionEvent(display, -1, x, 400 * x / 600, 0); });
        }
        QTest::qWait(200);
        FirstPaint painted;
        application.installEventFilter(&painted);
        const Clock::time_point pressed = Clock::now();
        send(display, [&] { XTestFakeKeyEvent(display, shift, True, 0); });
        waitUntil([&] { return painted.at.has_value(); }, 2000);
        if (painted.at) latencies.push_back(std::chrono::duration<double, std::milli>(*painted.at - pressed).count());
        send(display, [&] {
            XTestFakeKeyEvent(display, shift, False, 0);
            XTestFakeButtonEvent(display, 1, False, 0);
        });
        waitUntil([&] { return !app.wheel().panel() || !app.wheel().panel()->isVisible(); }, 3000);
        waitUntil([&] { return source.canReadLine(); }, 2000);
        source.readAll();
        application.removeEventFilter(&painted);
    }
    std::sort(latencies.begin(), latencies.end());
    if (latencies.empty()) {
        std::printf("trigger key → first wheel frame: the wheel never opened\n");
    } else {
        std::printf("trigger key → first wheel frame: median %.1f ms, worst %.1f ms over %zu drags (target 20 ms)\n",
                    latencies[latencies.size() / 2], latencies.back(), latencies.size());
    }

    QTest::qWait(1000);
    // A plain event loop with one timer to end it: every other wake-up is the application's.
    const auto before = switches();
    QElapsedTimer idle;
    idle.start();
    QEventLoop loop;
    QTimer::singleShot(idleSeconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double seconds = idle.elapsed() / 1000.0;
    std::printf("idle: %.2f wake-ups per second over %.0f s with the drag monitor running (target 0)\n",
                wakeUps(before, switches()) / seconds, seconds);
    source.kill();
    source.waitForFinished();
    XCloseDisplay(display);
    return 0;
}
