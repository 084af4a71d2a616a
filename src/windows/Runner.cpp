#include "windows/Runner.h"

#include "catalog/CatalogFrame.h"
#include "core/Errors.h"
#include "core/Output.h"
#include "core/Progress.h"
#include "core/Recents.h"
#include "core/RunnerText.h"
#include "core/Settings.h"
#include "platform/FileManager.h"
#include "windows/Toast.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>

namespace Runner {

namespace {
struct Outcome {
    OptionResult result;
    std::int64_t inputBytes = 0;
    std::int64_t outputBytes = 0;
    std::exception_ptr failure;
};

QPointer<Toast>& lateSlot()
{
    static QPointer<Toast> toast;
    return toast;
}

// Runs have threads of their own: a long video export must not hold up a quick conversion.
QThreadPool& runs()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(1024);
        return p;
    }();
    return *pool;
}

std::int64_t totalSize(const Paths& urls)
{
    std::int64_t total = 0;
    for (const Path& url : urls) total += Output::size(url);
    return total;
}

void onMainThread(std::function<void()> work)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work), Qt::QueuedConnection);
}

// How an option runs: on a worker thread, with each change of the fraction done (to a tenth
// of a percent) handed to progress and the outcome to finished, both on the main thread.
void start(const WheelOption& option, const Paths& urls, std::function<void(double)> progress,
           std::function<void(const Outcome&)> finished)
{
    runs().start([option, urls, progress, finished] {
        Outcome outcome;
        {
            auto shown = std::make_shared<std::atomic<int>>(-1);
            Progress::Scope scope([progress, shown](double fraction) {
                const int permille = static_cast<int>(fraction * 1000);
                if (shown->exchange(permille) != permille) onMainThread([progress, fraction] { progress(fraction); });
            });
            try {
                // Measured before the run: an action may move or remove its inputs.
                outcome.inputBytes = totalSize(urls);
                outcome.result = option.run(urls);
                outcome.outputBytes = totalSize(outcome.result.outputs);
            } catch (...) {
                outcome.failure = std::current_exception();
            }
        }
        onMainThread([finished, outcome] { finished(outcome); });
    });
}

// The sentence a failure is reported with; none for a cancel.
std::optional<std::string> failureMessage(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const UserCancelled&) {
        return std::nullopt;
    } catch (const std::exception& e) {
        return std::string(e.what());
    } catch (...) {
        return std::string("The operation couldn't be completed.");
    }
}

void finish(const WheelOption& option, std::optional<QPoint> near, QPointer<Toast> toast, bool announced, const Outcome& outcome)
{
    if (option.isInteractive) {
        toast = lateSlot();
        announced = !toast.isNull();
        lateSlot() = nullptr;
    }
    const auto show = [&](const ToastModel& content) {
        if (toast) toast->update(content);
        else Toast::show(near, content);
    };
    if (outcome.failure) {
        const auto message = failureMessage(outcome.failure);
        if (!message) {
            if (toast) toast->dismiss();
            return;
        }
        // A toast that was clicked away while working is shown again for its failure.
        const std::string title = announced ? RunnerText::failureTitle(option.title) : option.title;
        show({title, *message, ToastModel::State::failure, {}, std::nullopt});
        return;
    }
    const OptionResult& result = outcome.result;
    if (result.outputs.empty()) {
        if (result.message) show({option.title, *result.message, ToastModel::State::success, {}, std::nullopt});
        else if (toast) toast->dismiss();
        return;
    }
    Recents::add(result.outputs);
    UndoStore::record(result.outputs);
    if (toast) {
        const std::string subtitle = result.message ? *result.message : RunnerText::sizes(outcome.inputBytes, outcome.outputBytes);
        toast->update(RunnerText::title(result.outputs), subtitle, ToastModel::State::success, result.outputs);
    }
    if (Settings::boolean("revealAfter")) FileManager::reveal(result.outputs);
}
}

void perform(const WheelOption& option, const Paths& urls, std::optional<QPoint> near)
{
    const bool announced = !option.isAction && !option.isInteractive;
    QPointer<Toast> toast;
    if (announced) toast = Toast::show(near, {option.title + "…", Catalog::summary(urls), ToastModel::State::working, {}, std::nullopt});
    const bool interactive = option.isInteractive;
    start(
        option, urls,
        [toast, interactive](double fraction) {
            Toast* target = interactive ? lateSlot().data() : toast.data();
            if (target) target->setProgress(fraction);
        },
        [option, near, toast, announced](const Outcome& outcome) { finish(option, near, toast, announced, outcome); });
}

void openLateToast(const std::string& title, const std::string& subtitle, std::optional<QPoint> near)
{
    const auto open = [=] { lateSlot() = Toast::show(near, {title, subtitle, ToastModel::State::working, {}, std::nullopt}); };
    // Not waited for: the main thread may itself be waiting for the run (quitting). The run's
    // outcome is posted after this, so the toast is in place when the outcome arrives.
    if (QThread::currentThread() == QCoreApplication::instance()->thread()) open();
    else onMainThread(open);
}

Toast* lateToast()
{
    return lateSlot().data();
}

void waitForRuns()
{
    runs().waitForDone();
}

}
