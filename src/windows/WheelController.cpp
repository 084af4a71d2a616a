#include "windows/WheelController.h"

#include "catalog/Catalog.h"
#include "wheel/Trace.h"
#include "wheel/WheelPages.h"
#include "windows/HighlightSound.h"
#include "windows/Runner.h"
#include "windows/WheelPanel.h"

#include <QPointer>
#include <QTimer>

namespace {
constexpr int closeAfterDragMs = 400;
}

WheelController::WheelController() : perform(Runner::perform) {}

WheelController::~WheelController() = default;

WheelPanel& WheelController::makePanel()
{
    if (panel_) return *panel_;
    panel_ = std::make_unique<WheelPanel>();
    WheelView& v = panel_->view();
    QPointer<WheelController> self(this);
    v.onDrop = [self](int index) { if (self) self->drop(index); };
    v.onCancel = [self] { if (self) self->hide(); };
    v.onKey = [self](int key) { return self && self->handleKey(key); };
    v.onSwitch = [self](WheelMode mode) { if (self) self->switchMode(mode); };
    v.onNextPage = [self] { if (self) self->nextPage(); };
    v.onHighlight = [] { HighlightSound::play(); };
    // Only the focus loss of the wheel on screen counts: a late one from a wheel that was
    // hidden and shown again meanwhile must not close the new one.
    panel_->onDeactivated = [self] {
        if (!self || !self->interactive_ || !self->visible()) return;
        const int generation = self->generation_;
        QTimer::singleShot(0, self, [self, generation] {
            if (self && self->generation_ == generation && !self->panel_->isActiveWindow()) self->hide();
        });
    };
    return *panel_;
}

WheelView& WheelController::view()
{
    return makePanel().view();
}

bool WheelController::visible() const
{
    return panel_ && panel_->isVisible() && !closing_;
}

void WheelController::show(WheelMode mode, const Paths& dragged)
{
    ++generation_;
    if (visible()) {
        if (mode_ == mode) {
            Trace::log("same key again → next page");
            nextPage();
        } else {
            configure(mode);
        }
        return;
    }
    if (dragged.empty()) return;
    urls_ = dragged;
    interactive_ = false;
    present(false);
    configure(mode);
}

void WheelController::showInteractive(const Paths& urls, WheelMode mode)
{
    if (urls.empty()) return;
    ++generation_;
    urls_ = urls;
    interactive_ = true;
    present(true);
    configure(mode);
    view().select(0);
}

void WheelController::present(bool focusable)
{
    WheelView& v = view();
    const bool shown = panel_->isVisible();
    closing_ = false;
    v.onClosed = nullptr;
    if (!shown) v.setAppear(0);
    v.setAppearTarget(1);
    panel_->present(focusable);
    v.animate();
}

void WheelController::configure(WheelMode mode)
{
    Trace::log("wheel " + WheelModes::title(mode));
    mode_ = mode;
    pages_ = WheelPages::split(Catalog::options(urls_, mode));
    page_ = 0;
    showPage();
}

void WheelController::showPage()
{
    if (!mode_) return;
    options_ = page_ < pageCount() ? pages_[page_] : WheelOptions{};
    WheelView& v = view();
    v.interactive = interactive_;
    v.configure(*mode_, options_, Catalog::summary(urls_), page_, pageCount());
}

void WheelController::nextPage()
{
    if (visible() && pageCount() >= 2) {
        page_ = (page_ + 1) % pageCount();
        Trace::log("showing page " + std::to_string(page_ + 1) + "/" + std::to_string(pageCount()));
        showPage();
        if (interactive_) view().select(0);
    } else {
        Trace::log(std::string("next page ignored (visible ") + (visible() ? "true" : "false") + ", pages " + std::to_string(pageCount()) + ")");
    }
}

void WheelController::switchMode(WheelMode mode)
{
    if (!visible()) return;
    if (mode == mode_) {
        nextPage();
        return;
    }
    configure(mode);
    if (interactive_) view().select(0);
}

bool WheelController::handleKey(int qtKey)
{
    if (!visible()) return false;
    WheelView& v = view();
    switch (qtKey) {
    case Qt::Key_Left:
    case Qt::Key_Up: v.moveSelection(-1); return true;
    case Qt::Key_Right:
    case Qt::Key_Down: v.moveSelection(+1); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const auto index = v.hovered()) drop(*index);
        return true;
    case Qt::Key_Tab: nextPage(); return true;
    case Qt::Key_Escape: hide(); return true;
    default: return false;
    }
}

void WheelController::drop(int index)
{
    if (index < 0 || index >= static_cast<int>(options_.size())) return;
    const WheelOption option = options_[index];
    const std::optional<QPoint> near = panel_ ? std::optional<QPoint>(panel_->frameGeometry().center()) : std::nullopt;
    const Paths urls = urls_;
    hide();
    perform(option, urls, near);
}

void WheelController::dragEnded()
{
    if (interactive_) return;
    const int generation = generation_;
    QPointer<WheelController> self(this);
    QTimer::singleShot(closeAfterDragMs, this, [self, generation] {
        if (self && self->generation_ == generation) self->hide();
    });
}

void WheelController::hide()
{
    Trace::log("hide");
    const int generation = ++generation_;
    mode_.reset();
    if (!visible()) return;
    closing_ = true;
    WheelView& v = view();
    v.setAppearTarget(0);
    QPointer<WheelController> self(this);
    v.onClosed = [self, generation] {
        if (!self || !self->closing_ || self->generation_ != generation) return;
        self->closing_ = false;
        self->panel_->hide();
    };
    v.animate();
}
