#include "core/OptionRun.h"

#include "core/Output.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <atomic>
#include <list>
#include <mutex>
#include <thread>

namespace OptionRun {

namespace {
// A run's thread, joined once the run is over: a thread's own ending (the data Qt and other
// libraries keep for each thread) must be done before the process ends, or it may meet the
// libraries' teardown.
struct Worker {
    std::thread thread;
    std::atomic<bool> over = false;
};
std::mutex lock;
// Never destroyed: the threads of runs still going when the process ends end with it.
std::list<Worker>& workers = *new std::list<Worker>;

void join(std::list<Worker>& ending)
{
    for (Worker& worker : ending) worker.thread.join();
}

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
    struct Task {
        RunFn run;
        Paths urls;
        Progress::Sink progress;
        std::function<void(const RunOutcome&)> done;
    };
    auto task = std::make_unique<Task>(Task{std::move(run), std::move(urls), std::move(progress), std::move(done)});
    std::list<Worker> ending;
    {
        const std::lock_guard guard(lock);
        for (auto it = workers.begin(); it != workers.end();) {
            const auto next = std::next(it);
            if (it->over) ending.splice(ending.end(), workers, it);
            it = next;
        }
        Worker& worker = workers.emplace_back();
        worker.thread = std::thread([task = std::move(task), &worker]() mutable {
            {
                // Everything the run holds is released before it counts as over.
                const std::unique_ptr<Task> work = std::move(task);
                RunOutcome outcome = measured(work->run, work->urls, work->progress);
                QMetaObject::invokeMethod(QCoreApplication::instance(), [done = work->done, outcome = std::move(outcome)] { done(outcome); },
                                          Qt::QueuedConnection);
            }
            worker.over = true;
        });
    }
    join(ending);
}

void waitForAll()
{
    std::list<Worker> all;
    {
        const std::lock_guard guard(lock);
        all.swap(workers);
    }
    join(all);
}

}
