// Frames per second of the wheel drawn at a device pixel ratio of 2, the way the animation
// timer asks for them: a steady wheel, a highlight gliding between slices, a page turn and
// the opening fade. Prints one line per case: frames per second of processor time (what the
// machine can draw when the wheel has a core to itself), frames per second of wall time
// (what it drew while sharing the machine), and the first as a multiple of 120 Hz.
// Page turns and fades cycle through their whole course, 40 and 31 frames long.
#include "core/Settings.h"
#include "wheel/WheelView.h"

#include <QApplication>
#include <QImage>

#include <chrono>
#include <cstdio>
#include <algorithm>
#include <functional>
#include <time.h>

namespace {
WheelOptions fullPage(const std::vector<std::pair<const char*, const char*>>& rows)
{
    WheelOptions options;
    for (const auto& [title, symbol] : rows) {
        WheelOption option;
        option.title = title;
        if (symbol) option.symbol = symbol;
        options.push_back(option);
    }
    return options;
}

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

void measure(const char* name, WheelView& view, const std::function<void(int frame)>& step)
{
    // A whole new picture per frame, as the window's backing store is cleared for each.
    const auto draw = [&](int k) {
        step(k);
        return view.picture(2);
    };
    for (int k = 0; k < 30; ++k) draw(k);
    // The machine is shared: of ten rounds of 60 frames, the fastest tells what drawing costs.
    double bestCpu = 0;
    double bestWall = 0;
    int frames = 0;
    for (int round = 0; round < 10; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = cpuSeconds();
        for (int k = 0; k < 60; ++k) draw(frames++);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        bestCpu = std::max(bestCpu, 60 / (cpuSeconds() - cpuStart));
        bestWall = std::max(bestWall, 60 / wall);
    }
    std::printf("%-30s %6.0f frames/s of CPU  %6.0f frames/s of wall  %5.1f× 120 Hz\n", name, bestCpu, bestWall,
                bestCpu / 120);
}
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Settings::registerDefaults();

    const WheelOptions tools = fullPage({{"Compress", "arrow.down.right.and.arrow.up.left"}, {"Crop", "crop"},
                                         {"Remove BG", "person.crop.rectangle"}, {"Text", "text.viewfinder"},
                                         {"Fit 1 MB", "gauge.with.dots.needle.33percent"},
                                         {"Resize", "rectangle.compress.vertical"}, {"Rotate", "rotate.right"},
                                         {"Grayscale", "circle.lefthalf.filled"}});
    const WheelOptions convert = fullPage({{"PNG", nullptr}, {"HEIC", nullptr}, {"WEBP", nullptr}, {"AVIF", nullptr},
                                           {"TIFF", nullptr}, {"GIF", nullptr}, {"BMP", nullptr}, {"PDF", nullptr}});
    double now = 0;
    WheelView view;
    view.resize(380, 380);
    view.setDarkAppearance(false);
    view.setClock([&] { return now; });
    const auto advance = [&] {
        now += 1.0 / 120;
        view.tick();
    };

    view.configure(WheelMode::tools, tools, "holiday-photo.jpg", 0, 2);
    view.select(2);
    view.finishAnimations();
    measure("full wheel, one slice lit", view, [](int) {});

    measure("highlight moving every 0.1 s", view, [&](int k) {
        if (k % 12 == 0) view.moveSelection(1);
        advance();
    });

    measure("page turn", view, [&](int k) {
        if (k % 40 == 0) {
            view.finishAnimations();
            view.showTransition(k % 80 ? tools : convert, WheelView::Kind::page, 0);
        }
        view.showTransition(k % 80 >= 40 ? tools : convert, WheelView::Kind::page, (k % 40) / 40.0);
    });

    measure("opening (fading layer)", view, [&](int k) {
        view.setAppear((k % 31) / 31.0);
    });
    return 0;
}
