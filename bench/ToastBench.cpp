// How soon a toast is on screen: the time from Runner::perform to the first frame of its card
// handed to the X server (painted, flushed and acknowledged by a round trip), over 40 runs of
// an option that waits until the frame is measured. Prints the median, the 90th percentile and
// the worst case of the wall time, each against one frame at 60 Hz (16.7 ms), and the median
// processor time the main thread spent on it: on a shared machine the wall time also holds
// the time spent waiting for a core.
#include "core/OptionRun.h"
#include "core/Settings.h"
#include "windows/Runner.h"
#include "windows/Toast.h"
#include "windows/ToastView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

#include <xcb/xcb.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <fstream>
#include <future>
#include <vector>

namespace {
// Notes when the first paint of a card has been flushed: a zero timer started during the
// paint fires once painting and flushing are over.
class FirstFrame : public QObject {
public:
    bool done = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !started_) {
            started_ = true;
            QTimer::singleShot(0, this, [this] { done = true; });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool started_ = false;
};

void roundTrip()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11->connection();
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void spin(const std::function<bool()>& until)
{
    while (!until()) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
}
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fputs("toast_bench needs an X display (bench/toasts.sh starts one)\n", stderr);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    Settings::registerDefaults();
    const Path input = QDir::tempPath().toStdString() + "/toast-bench-input.png";
    std::ofstream(input) << "png";

    std::vector<double> ms;
    std::vector<double> cpu;
    for (int run = 0; run < 41; ++run) {
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        const WheelOption option{"JPG", std::nullopt, false, false, [released](const Paths&) {
                                     released.wait();
                                     return OptionResult{};
                                 }};
        FirstFrame frame;
        QElapsedTimer clock;
        clock.start();
        const double cpuStart = threadCpuMs();
        Runner::perform(option, {input}, QPoint(400 + run % 5 * 20, 300));
        Toast* toast = Toast::live().back();
        toast->view().installEventFilter(&frame);
        spin([&] { return frame.done; });
        roundTrip();
        const double elapsed = clock.nsecsElapsed() / 1e6;
        // The first also loads fonts and the style.
        if (run > 0) {
            ms.push_back(elapsed);
            cpu.push_back(threadCpuMs() - cpuStart);
        }
        release.set_value();
        OptionRun::waitForAll();
        spin([] { return Toast::live().empty(); });
    }
    std::filesystem::remove(input);
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    const double frame = 1000.0 / 60;
    const auto report = [&](const char* name, double value) {
        std::printf("%-16s %6.2f ms  %5.2f× one 60 Hz frame\n", name, value, value / frame);
    };
    report("median", ms[ms.size() / 2]);
    report("90th percentile", ms[ms.size() * 9 / 10]);
    report("worst", ms.back());
    report("median CPU time", cpu[cpu.size() / 2]);
    return 0;
}
