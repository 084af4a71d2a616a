#include "core/OptionRun.h"

#include "core/Output.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace OptionRun {

namespace {
std::mutex lock;
std::condition_variable finished;
int running = 0;

std::int64_t totalSize(const Paths& urls)
{
    std::int64_t total = 0;
    for (const Path& url : urls) total += Output::size(url);
    return total;
}
}

RunOutcome measured(const RunFn& run, const Paths& urls, const Progress::Sink& progress)
{
    RunOutcome outcome;
    try {
        const Progress::Scope scope(progress);
        // Measured before the run: an action may move or remove its inputs.
        outcome.inputBytes = totalSize(urls);
        outcome.result = run(urls);
        outcome.outputBytes = totalSize(outcome.result.outputs);
    } catch (...) {
        outcome.failure = std::current_exception();
    }
    return outcome;
}

void inBackground(RunFn run, Paths urls, Progress::Sink progress, std::function<void(const RunOutcome&)> done)
{
    {
        const std::lock_guard guard(lock);
        ++running;
    }
    struct Task {
        RunFn run;
        Paths urls;
        Progress::Sink progress;
        std::function<void(const RunOutcome&)> done;
    };
    auto task = std::make_unique<Task>(Task{std::move(run), std::move(urls), std::move(progress), std::move(done)});
    std::thread([task = std::move(task)]() mutable {
        {
            // Everything the run holds is released before it counts as finished.
            const std::unique_ptr<Task> work = std::move(task);
            RunOutcome outcome = measured(work->run, work->urls, work->progress);
            QMetaObject::invokeMethod(QCoreApplication::instance(), [done = work->done, outcome = std::move(outcome)] { done(outcome); },
                                      Qt::QueuedConnection);
        }
        const std::lock_guard guard(lock);
        --running;
        finished.notify_all();
    }).detach();
}

void waitForAll()
{
    std::unique_lock guard(lock);
    finished.wait(guard, [] { return running == 0; });
}

}
