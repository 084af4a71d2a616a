#include "wheel/WheelView.h"

#include "core/Settings.h"
#include "wheel/WheelGeometry.h"

#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {
constexpr double tickInterval = 1.0 / 120;
constexpr double maxStep = 0.05;
constexpr double openSeconds = 0.26;
constexpr double closeSeconds = 0.15;
constexpr double turnSeconds = 0.32;
constexpr double snap = 0.002;

bool isModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_Super_L || key == Qt::Key_Super_R;
}

// The modifiers held once the key event has happened. Qt already adjusts them for Shift,
// Control, Alt and Meta; X11 reports the Super keys separately, with the state from before.
Qt::KeyboardModifiers heldAfter(const QKeyEvent* event)
{
    Qt::KeyboardModifiers flags = event->modifiers();
    if (event->key() == Qt::Key_Super_L || event->key() == Qt::Key_Super_R) {
        flags.setFlag(Qt::MetaModifier, event->type() == QEvent::KeyPress);
    }
    return flags;
}

// Moves value towards target by the fraction 1 - e^(-rate dt), landing on it when close.
void ease(double& value, double target, double rate, double dt)
{
    value += (target - value) * (1 - std::exp(-rate * dt));
    if (std::abs(target - value) < snap) value = target;
}

bool hasFiles(const QMimeData* data)
{
    if (!data || !data->hasUrls()) return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}
}

WheelView::WheelView(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_NoSystemBackground);
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &WheelView::tick);
    setClock([] { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); });
}

QPointF WheelView::centre() const
{
    return {width() / 2.0, height() / 2.0};
}

std::optional<int> WheelView::sliceAt(QPointF p) const
{
    return WheelGeometry::hitTest(p, centre(), static_cast<int>(options_.size()));
}

void WheelView::configure(WheelMode mode, const WheelOptions& options, const std::string& summary, int page, int pageCount)
{
    const bool open = appearTarget_ == 1 && appear_ > 0.6 && window()->isVisible() && !options_.empty();
    if (open) {
        outgoing_ = Outgoing{options_, glow_, mode == mode_ ? Kind::page : Kind::wheel};
        transition_ = 0;
    } else {
        outgoing_.reset();
        transition_ = 1;
        dotPos_ = page;
    }
    mode_ = mode;
    options_ = options;
    summary_ = summary;
    page_ = page;
    pageCount_ = std::max(1, pageCount);
    glow_.assign(options_.size(), 0);
    hovered_.reset();
    animate();
}

void WheelView::setHovered(std::optional<int> index)
{
    if (index && (*index < 0 || *index >= static_cast<int>(options_.size()))) index.reset();
    if (index == hovered_) return;
    hovered_ = index;
    animate();
    if (index && window()->isVisible() && onHighlight) onHighlight();
}

void WheelView::select(std::optional<int> index)
{
    setHovered(index);
}

void WheelView::moveSelection(int step)
{
    const int n = static_cast<int>(options_.size());
    if (n == 0) return;
    const int start = hovered_ ? *hovered_ : (step > 0 ? -1 : 0);
    setHovered(((start + step) % n + n) % n);
}

int WheelView::debugHover() const
{
    return hovered_ ? *hovered_ : -1;
}

void WheelView::setDebugHover(int index)
{
    setHovered(index < 0 ? std::nullopt : std::optional<int>(index));
}

void WheelView::finishAnimations()
{
    appear_ = appearTarget_;
    transition_ = 1;
    outgoing_.reset();
    for (size_t i = 0; i < glow_.size(); ++i) glow_[i] = hovered_ == static_cast<int>(i) ? 1 : 0;
    dotPos_ = page_;
    pillWidth_ = 0;
    update();
}

void WheelView::showTransition(const WheelOptions& from, Kind kind, double progress)
{
    outgoing_ = Outgoing{from, std::vector<double>(from.size(), 0), kind};
    transition_ = std::clamp(progress, 0.0, 1.0);
    update();
}

void WheelView::setGlow(int index, double glow)
{
    if (index >= 0 && index < static_cast<int>(glow_.size())) glow_[index] = std::clamp(glow, 0.0, 1.0);
    outgoing_.reset();
    transition_ = 1;
    update();
}

void WheelView::setDarkAppearance(std::optional<bool> dark)
{
    dark_ = dark;
    update();
}

void WheelView::setClock(Clock clock)
{
    clock_ = std::move(clock);
}

void WheelView::animate()
{
    update();
    if (timer_.isActive()) return;
    lastTick_ = nextTick_ = clock_();
    scheduleTick();
}

void WheelView::scheduleTick()
{
    // Aim at the next 1/120 s mark rather than a fixed millisecond interval, so that the
    // rate stays at 120 Hz on average.
    nextTick_ += tickInterval;
    const double wait = std::max(0.0, nextTick_ - clock_());
    timer_.start(static_cast<int>(std::lround(wait * 1000)));
}

void WheelView::tick()
{
    const double now = clock_();
    const double dt = std::clamp(now - lastTick_, 0.0, maxStep);
    lastTick_ = now;

    for (size_t i = 0; i < glow_.size(); ++i) ease(glow_[i], hovered_ == static_cast<int>(i) ? 1 : 0, 24, dt);
    if (appear_ < appearTarget_) appear_ = std::min(appearTarget_, appear_ + dt / openSeconds);
    else if (appear_ > appearTarget_) appear_ = std::max(appearTarget_, appear_ - dt / closeSeconds);
    if (transition_ < 1) {
        transition_ = std::min(1.0, transition_ + dt / turnSeconds);
        if (transition_ >= 1) outgoing_.reset();
    }
    ease(dotPos_, page_, 16, dt);
    if (pillWidth_ > 0) ease(pillWidth_, pillTarget_, 22, dt);
    update();

    if (appear_ == 0 && appearTarget_ == 0 && onClosed) {
        const auto closed = std::move(onClosed);
        onClosed = nullptr;
        closed();
    }
    if (settled()) {
        timer_.stop();
        nextTick_ = 0;
    } else {
        if (nextTick_ < now - tickInterval) nextTick_ = now;
        scheduleTick();
    }
}

bool WheelView::settled() const
{
    for (size_t i = 0; i < glow_.size(); ++i) {
        if (glow_[i] != (hovered_ == static_cast<int>(i) ? 1 : 0)) return false;
    }
    return appear_ == appearTarget_ && transition_ >= 1 && dotPos_ == page_ && (pillWidth_ == 0 || pillWidth_ == pillTarget_);
}

void WheelView::mouseMoveEvent(QMouseEvent* event)
{
    if (!interactive) return;
    if (const auto slice = sliceAt(event->position())) setHovered(slice);
}

void WheelView::mousePressEvent(QMouseEvent* event)
{
    if (!interactive) return;
    const QPointF p = event->position();
    if (const auto slice = sliceAt(p)) {
        if (onDrop) onDrop(*slice);
    } else if (pageCount_ >= 2 && QLineF(centre(), p).length() < WheelGeometry::innerR) {
        if (onNextPage) onNextPage();
    } else if (onCancel) {
        onCancel();
    }
}

void WheelView::keyPressEvent(QKeyEvent* event)
{
    if (isModifierKey(event->key())) modifiersChanged(heldAfter(event));
    if (onKey && onKey(event->key())) return;
    QWidget::keyPressEvent(event);
}

void WheelView::keyReleaseEvent(QKeyEvent* event)
{
    if (isModifierKey(event->key())) modifiersChanged(heldAfter(event));
    QWidget::keyReleaseEvent(event);
}

void WheelView::modifiersChanged(Qt::KeyboardModifiers flags)
{
    flags &= Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const Qt::KeyboardModifiers pressed = flags & ~lastFlags_;
    lastFlags_ = flags;
    // Only a chord pressed from nothing counts: adding a key to one already held does not.
    if (!pressed || pressed != flags) return;
    for (WheelMode mode : WheelModes::allCases()) {
        if (TriggerKeys::modifier(Settings::key(mode)) == flags) {
            if (onSwitch) onSwitch(mode);
            return;
        }
    }
}

bool WheelView::dragOver(QPointF position)
{
    const auto slice = sliceAt(position);
    setHovered(slice);
    return slice.has_value();
}

void WheelView::dragEnterEvent(QDragEnterEvent* event)
{
    // The enter must be accepted for every file drag, or no moves follow; whether a drop is
    // possible at a point is answered by the drop action.
    if (!hasFiles(event->mimeData())) return event->ignore();
    event->setDropAction(dragOver(event->position()) ? Qt::CopyAction : Qt::IgnoreAction);
    event->accept();
}

void WheelView::dragMoveEvent(QDragMoveEvent* event)
{
    if (dragOver(event->position())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void WheelView::dragLeaveEvent(QDragLeaveEvent*)
{
    setHovered(std::nullopt);
}

void WheelView::dropEvent(QDropEvent* event)
{
    if (!hovered_) return event->ignore();
    // Always a copy, even when the source proposes a move: the source would otherwise
    // delete the user's originals.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    const int index = *hovered_;
    QMetaObject::invokeMethod(this, [this, index] { if (onDrop) onDrop(index); }, Qt::QueuedConnection);
}
