#pragma once
#include "windows/ToastModel.h"

#include <QObject>
#include <QPoint>
#include <QTimer>
#include <QVariantAnimation>

#include <memory>
#include <optional>
#include <vector>

class ToastView;

// A small floating card that reports one job: a spinner (or a ring filling with the fraction
// done) while it runs, then its outcome with the files it wrote. It rises into place next to
// the drop point or at the bottom of the screen, reveals the outputs when clicked, offers Undo
// after a success, and goes away by itself 4, 6 or 7 seconds after its outcome.
// Toasts keep themselves alive until dismissed; main thread only.
class Toast : public QObject {
    Q_OBJECT
public:
    // Creates and shows a toast centred on near (screen coordinates), or at its default place.
    static Toast* show(std::optional<QPoint> near = std::nullopt, const ToastModel& content = {});
    // Every toast on screen, oldest first.
    static const std::vector<Toast*>& live();

    // New content; an outcome (success or failure) schedules the automatic dismissal anew.
    void update(const ToastModel& content);
    void update(const std::string& title, const std::string& subtitle, ToastModel::State state, const Paths& outputs = {});
    // The fraction done of a working job.
    void setProgress(double fraction);
    // Fades the toast away, then deletes it.
    void dismiss();

    const ToastModel& model() const;
    ToastView& view() const { return *view_; }
    // Where the card comes to rest (top-left corner, screen coordinates).
    QPoint restingPlace() const { return origin_; }

    // Moves the batch (or the last outputs) to the Trash and answers what a toast then says:
    // "Undone" with how many files moved, or why nothing could be moved.
    static ToastModel undo(const std::optional<Paths>& batch);

signals:
    void changed();
    // Off the screen; the toast is deleted right after.
    void dismissed();

private:
    Toast(std::optional<QPoint> near, const ToastModel& content);
    ~Toast() override;
    void scheduleDismissal();
    void clicked();
    void moveCard(double rise, double opacity);

    std::unique_ptr<ToastView> view_;
    QPoint origin_;
    QTimer dismissTimer_;
    QVariantAnimation appear_;
    QVariantAnimation leave_;
    bool leaving_ = false;
};
