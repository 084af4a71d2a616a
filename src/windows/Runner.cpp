#include "windows/Runner.h"

#include "catalog/CatalogFrame.h"
#include "core/Errors.h"
#include "core/Jobs.h"
#include "core/OptionRun.h"
#include "core/Progress.h"
#include "core/Recents.h"
#include "core/RunnerText.h"
#include "core/Settings.h"
#include "platform/Clipboard.h"
#include "platform/FileManager.h"
#include "windows/Toast.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <memory>

namespace Runner {

namespace {
QPointer<Toast>& lateSlot()
{
    static QPointer<Toast> toast;
    return toast;
}

// An interactive option asks in its editor here, file by file, and does the work in a job
// like any other option; its toast opens once the first editor has closed.
RunFn edited(const WheelOption& option)
{
    return [mode = *option.page, title = option.title, interaction = *option.interaction](const Paths& urls) {
        OptionResult result;
        for (size_t i = 0; i < urls.size(); ++i) {
            const Editing::Choice choice = Editing::ask(interaction.editor, urls[i]);
            if (i == 0) openLateToast(interaction.working, Catalog::summary(urls));
            const Paths outputs = Jobs::run({mode, title, {urls[i]}, choice}).outputs;
            result.outputs.insert(result.outputs.end(), outputs.begin(), outputs.end());
        }
        return result;
    };
}

// Convert and tools options run in a job process, so that whatever a file does to a library
// ends that job and never the application. Actions need the application itself.
RunFn work(const WheelOption& option)
{
    if (option.interaction && option.page) return edited(option);
    if (option.isAction || option.isInteractive || !option.page || *option.page == WheelMode::actions) return option.run;
    return [mode = *option.page, title = option.title](const Paths& urls) { return Jobs::run({mode, title, urls}); };
}

// How an option runs: on a thread of its own, with each change of the fraction done (to a
// tenth of a percent) handed to progress and the outcome to finished, both on the main thread.
void start(const WheelOption& option, const Paths& urls, std::function<void(double)> progress,
           std::function<void(const RunOutcome&)> finished)
{
    auto shown = std::make_shared<std::atomic<int>>(-1);
    const Progress::Sink sink = [progress, shown](double fraction) {
        const int permille = static_cast<int>(fraction * 1000);
        if (shown->exchange(permille) == permille) return;
        QMetaObject::invokeMethod(QCoreApplication::instance(), [progress, fraction] { progress(fraction); }, Qt::QueuedConnection);
    };
    OptionRun::inBackground(work(option), urls, sink, std::move(finished));
}

void finish(const WheelOption& option, std::optional<QPoint> near, QPointer<Toast> toast, bool announced, const RunOutcome& outcome)
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
        if (Errors::isCancel(outcome.failure)) {
            if (toast) toast->dismiss();
            return;
        }
        // A toast that was clicked away while working is shown again for its failure.
        const std::string title = announced ? RunnerText::failureTitle(option.title) : option.title;
        show({title, Errors::userMessage(outcome.failure), ToastModel::State::failure, {}, std::nullopt});
        return;
    }
    const OptionResult& result = outcome.result;
    if (result.clipboard) Clipboard::setText(*result.clipboard);
    if (!result.clipboardFiles.empty()) Clipboard::setFiles(result.clipboardFiles);
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
    if (Settings::boolean(SettingsKey::revealAfter)) FileManager::reveal(result.outputs);
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
        [option, near, toast, announced](const RunOutcome& outcome) { finish(option, near, toast, announced, outcome); });
}

void openLateToast(const std::string& title, const std::string& subtitle, std::optional<QPoint> near)
{
    const auto open = [=] { lateSlot() = Toast::show(near, {title, subtitle, ToastModel::State::working, {}, std::nullopt}); };
    // Not waited for: the main thread may itself be waiting for the run (quitting). The run's
    // outcome is posted after this, so the toast is in place when the outcome arrives.
    if (QThread::currentThread() == QCoreApplication::instance()->thread()) open();
    else QMetaObject::invokeMethod(QCoreApplication::instance(), open, Qt::QueuedConnection);
}

Toast* lateToast()
{
    return lateSlot().data();
}

}
