#include "windows/DragMonitor.h"

#include "core/Settings.h"
#include "platform/DragWatch.h"
#include "wheel/Trace.h"
#include "windows/WheelController.h"

#include <utility>

namespace {
constexpr int pollMs = 8;  // 120 times a second
// The button counts as released at the third reading in a row that finds it up.
constexpr int releasedAt = 3;
}

DragMonitor::DragMonitor(DragWatch& watch, WheelController& wheel) : watch_(watch), wheel_(wheel)
{
    timer_.setInterval(pollMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &DragMonitor::poll);
    connect(&watch_, &DragWatch::buttonPressed, this, &DragMonitor::mouseDown);
    connect(&watch_, &DragWatch::filesArrived, this, &DragMonitor::filesArrived);
    connect(&watch_, &DragWatch::keyPressed, this, &DragMonitor::keyPressed);
}

std::optional<WheelMode> DragMonitor::pressedMode(Qt::KeyboardModifiers before, Qt::KeyboardModifiers now)
{
    if (!now || (now & before)) return std::nullopt;
    for (WheelMode mode : WheelModes::allCases()) {
        if (now == TriggerKeys::modifier(Settings::key(mode))) return mode;
    }
    return std::nullopt;
}

void DragMonitor::mouseDown()
{
    baselineChangeCount_ = watch_.changeCount();
    dragActive_ = false;
    startPolling();
}

void DragMonitor::startPolling()
{
    if (timer_.isActive()) return;
    upCount_ = 0;
    timer_.start();
    watch_.watchKeys(true);
}

void DragMonitor::stopPolling()
{
    timer_.stop();
    watch_.watchKeys(false);
}

void DragMonitor::poll()
{
    const DragWatch::Pointer pointer = watch_.pointer();
    if (!pointer.buttonDown) {
        ++upCount_;
        if (upCount_ < releasedAt) {
            Trace::log("button up reading " + std::to_string(upCount_));
            return;
        }
        if (dragActive_ || wheel_.visible()) {
            Trace::log("mouse up → drag ended");
            wheel_.dragEnded();
        }
        dragActive_ = false;
        waiting_.reset();
        stopPolling();
        return;
    }
    upCount_ = 0;
    if (dragActive_) return handleFlags(pointer.keys);
    if (watch_.changeCount() != baselineChangeCount_) {
        dragActive_ = true;
        Trace::start();
        Trace::log("drag started, keys held: " + Trace::describe(pointer.keys));
        lastFlags_ = pointer.keys;
        files_ = Files::asked;
        dragged_.clear();
        waiting_.reset();
        watch_.requestFiles();
    }
}

void DragMonitor::handleFlags(Qt::KeyboardModifiers flags)
{
    if (flags == lastFlags_) return;
    Trace::log("keys " + Trace::describe(lastFlags_) + " → " + Trace::describe(flags));
    const Qt::KeyboardModifiers before = lastFlags_;
    lastFlags_ = flags;
    if (const auto mode = pressedMode(before, flags)) open(*mode);
}

void DragMonitor::open(WheelMode mode)
{
    if (files_ == Files::asked && !wheel_.visible()) {
        waiting_ = mode;
        return;
    }
    wheel_.show(mode, dragged_);
}

void DragMonitor::filesArrived(const Paths& files)
{
    files_ = Files::known;
    dragged_ = files;
    if (files.empty()) Trace::log("no files in this drag: no wheel");
    if (const auto mode = std::exchange(waiting_, std::nullopt); mode && dragActive_) wheel_.show(*mode, dragged_);
}

void DragMonitor::keyPressed(int qtKey)
{
    if (wheel_.visible() && !wheel_.interactive()) wheel_.handleKey(qtKey);
}
