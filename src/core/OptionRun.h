#pragma once
#include "core/Progress.h"
#include "core/WheelOption.h"

#include <cstdint>
#include <exception>
#include <functional>

// What one run of an option came to: its result or its failure, with the total size of the
// selection before the run and of the outputs after it.
struct RunOutcome {
    OptionResult result;
    std::exception_ptr failure;
    std::int64_t inputBytes = 0;
    std::int64_t outputBytes = 0;
};

// How the command line, the job mode and the tray application run an option's work.
namespace OptionRun {
// Runs on the calling thread, reporting progress to `progress`; never throws.
RunOutcome measured(const RunFn& run, const Paths& urls, const Progress::Sink& progress = {});
// Starts the run on a thread of its own, so that runs never wait behind each other, and hands
// the outcome to done on the main thread.
void inBackground(RunFn run, Paths urls, Progress::Sink progress, std::function<void(const RunOutcome&)> done);
// Blocks until every run started by inBackground has returned and its thread has ended.
void waitForAll();
}
