#include "windows/Toast.h"

#include "core/Errors.h"
#include "core/Recents.h"
#include "core/RunnerText.h"
#include "core/Settings.h"
#include "platform/FileManager.h"
#include "windows/ToastPlacement.h"
#include "windows/ToastView.h"

#include <QEasingCurve>

#include <algorithm>

namespace {
constexpr int appearMs = 320;
constexpr int leaveMs = 220;
constexpr double rise = 14;
constexpr double sink = 8;

std::vector<Toast*>& registry()
{
    static std::vector<Toast*> toasts;
    return toasts;
}

QEasingCurve bezier(QPointF c1, QPointF c2)
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(c1, c2, QPointF(1, 1));
    return curve;
}

// Why files a toast offered are not there any more.
std::string gone(const Paths& files)
{
    if (files.size() == 1) return files.front().filename().string() + " was moved or deleted";
    return "The files were moved or deleted";
}
}

Toast* Toast::show(std::optional<QPoint> near, const ToastModel& content)
{
    return new Toast(near, content);
}

const std::vector<Toast*>& Toast::live()
{
    return registry();
}

Toast::Toast(std::optional<QPoint> near, const ToastModel& content)
    : view_(std::make_unique<ToastView>(content)), origin_(ToastPlacement::origin(near))
{
    connect(view_.get(), &ToastView::clicked, this, &Toast::clicked);
    connect(view_.get(), &ToastView::undoClicked, this, [this] { update(undo(model().outputs)); });
    // A drag of the outputs into another program keeps the card until the drop.
    connect(view_.get(), &ToastView::dragging, this, [this](bool active) {
        if (active) dismissTimer_.stop();
        else scheduleDismissal();
    });

    dismissTimer_.setSingleShot(true);
    connect(&dismissTimer_, &QTimer::timeout, this, &Toast::dismiss);

    appear_.setDuration(appearMs);
    appear_.setEasingCurve(bezier({0.2, 0.9}, {0.3, 1.0}));
    appear_.setStartValue(0.0);
    appear_.setEndValue(1.0);
    connect(&appear_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        const double t = v.toDouble();
        moveCard(rise * (1 - t), t);
    });

    leave_.setDuration(leaveMs);
    leave_.setEasingCurve(bezier({0.42, 0}, {1, 1}));
    leave_.setStartValue(0.0);
    leave_.setEndValue(1.0);
    connect(&leave_, &QVariantAnimation::finished, this, [this] {
        view_->hide();
        std::erase(registry(), this);
        emit dismissed();
        deleteLater();
    });

    moveCard(rise, 0);
    view_->show();
    registry().push_back(this);
    appear_.start();
    scheduleDismissal();
}

Toast::~Toast() = default;

void Toast::moveCard(double offset, double opacity)
{
    view_->move(origin_ + QPoint(0, static_cast<int>(std::lround(offset))));
    view_->setWindowOpacity(opacity);
}

const ToastModel& Toast::model() const
{
    return view_->model();
}

void Toast::update(const ToastModel& content)
{
    view_->setModel(content);
    emit changed();
    scheduleDismissal();
}

void Toast::update(const std::string& title, const std::string& subtitle, ToastModel::State state, const Paths& outputs)
{
    update(ToastModel{title, subtitle, state, outputs, std::nullopt});
}

void Toast::setProgress(double fraction)
{
    if (model().state != ToastModel::State::working) return;
    ToastModel content = model();
    content.progress = std::clamp(fraction, 0.0, 1.0);
    view_->setModel(content);
    emit changed();
}

void Toast::scheduleDismissal()
{
    dismissTimer_.stop();
    const ToastModel& m = model();
    if (m.state == ToastModel::State::working || leaving_) return;
    const int seconds = m.state == ToastModel::State::failure ? 7 : m.outputs.empty() ? 4 : 6;
    dismissTimer_.start(seconds * 1000);
}

void Toast::dismiss()
{
    if (leaving_) return;
    leaving_ = true;
    dismissTimer_.stop();
    // Leaving may interrupt the rise: sink from wherever the card is now.
    const double from = rise * (1 - appear_.currentValue().toDouble());
    const double opacity = appear_.currentValue().toDouble();
    appear_.stop();
    connect(&leave_, &QVariantAnimation::valueChanged, this, [this, from, opacity](const QVariant& v) {
        const double t = v.toDouble();
        moveCard(from + sink * t, opacity * (1 - t));
    });
    leave_.start();
}

void Toast::clicked()
{
    const Paths& outputs = model().outputs;
    if (!outputs.empty()) {
        const Paths here = model().presentOutputs();
        if (here.empty()) {
            update("Couldn't show in folder", gone(outputs), ToastModel::State::failure);
            return;
        }
        FileManager::reveal(here);
    }
    dismiss();
}

ToastModel Toast::undo(const std::optional<Paths>& batch)
{
    Paths asked = batch.value_or(Paths{});
    if (!batch) {
        for (const QString& path : Settings::stringList(SettingsKey::lastOutputs)) asked.push_back(path.toStdString());
    }
    try {
        const int moved = UndoStore::undo(batch);
        if (moved > 0) return {"Undone", RunnerText::moved(moved), ToastModel::State::success, {}, std::nullopt};
        return {"Couldn't undo", asked.empty() ? "There is nothing to undo" : gone(asked), ToastModel::State::failure, {}, std::nullopt};
    } catch (...) {
        return {"Couldn't undo", Errors::userMessage(std::current_exception()), ToastModel::State::failure, {}, std::nullopt};
    }
}
