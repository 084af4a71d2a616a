#include "core/Batch.h"

#include "core/Output.h"
#include "core/Progress.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace Batch {

namespace {
// A twelve-megapixel photo held decoded and being encoded (WebP, HEIC) takes up to about
// 150 MB; running another file at once must leave that much to spare.
constexpr long long bytesPerFile = 256LL << 20;

long long availableMemory()
{
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    long long kilobytes = 0;
    std::string unit;
    while (meminfo >> key >> kilobytes >> unit) {
        if (key == "MemAvailable:") return kilobytes * 1024;
    }
    return -1;
}

thread_local bool sharing = false;

class Runner final : public Output::Turn {
public:
    Runner(std::size_t count, bool shared, const std::function<void(std::size_t)>& work)
        : shared_(shared), work_(work), passed_(count, false), done_(count, 0.0), failures_(count), succeeded_(count, false),
          failedAt_(count), progress_(Progress::current())
    {
    }

    // Takes files in order until none is left or one has failed.
    void serve()
    {
        for (;;) {
            std::size_t i = 0;
            {
                const std::lock_guard lock(mutex_);
                if (next_ >= passed_.size() || next_ > failedAt_) return;
                i = next_++;
            }
            one(i);
        }
    }

    // The first failure in order, after undoing what the files after it made.
    void settle(const std::function<void(std::size_t)>& undo)
    {
        if (failedAt_ >= passed_.size()) return;
        for (std::size_t j = failedAt_ + 1; j < succeeded_.size(); ++j) {
            if (succeeded_[j]) undo(j);
        }
        std::rethrow_exception(failures_[failedAt_]);
    }

    void await() override
    {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return turn_ >= current; });
    }

    void pass() override
    {
        const std::lock_guard lock(mutex_);
        passLocked(current);
    }

private:
    static thread_local std::size_t current;

    void one(std::size_t i)
    {
        // Saved and restored: the work may run a batch of its own.
        const std::size_t outer = std::exchange(current, i);
        const bool outerSharing = std::exchange(sharing, sharing || shared_);
        {
            const Output::TurnScope turn(*this);
            const Progress::Scope scope([this, i](double fraction) { report(i, fraction); });
            try {
                work_(i);
                const std::lock_guard lock(mutex_);
                succeeded_[i] = true;
            } catch (...) {
                const std::lock_guard lock(mutex_);
                failures_[i] = std::current_exception();
                failedAt_ = std::min(failedAt_, i);
            }
        }
        current = outer;
        sharing = outerSharing;
        const std::lock_guard lock(mutex_);
        // A file that never reserved a name lets the next ones have theirs all the same.
        passLocked(i);
        done_[i] = 1;
        reportLocked();
    }

    void passLocked(std::size_t i)
    {
        passed_[i] = true;
        while (turn_ < passed_.size() && passed_[turn_]) ++turn_;
        ready_.notify_all();
    }

    void report(std::size_t i, double fraction)
    {
        const std::lock_guard lock(mutex_);
        done_[i] = std::clamp(fraction, 0.0, 1.0);
        reportLocked();
    }

    void reportLocked()
    {
        if (!progress_) return;
        double sum = 0;
        for (double fraction : done_) sum += fraction;
        progress_(sum / double(done_.size()));
    }

    const bool shared_;
    const std::function<void(std::size_t)>& work_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<bool> passed_;
    std::vector<double> done_;
    std::vector<std::exception_ptr> failures_;
    std::vector<bool> succeeded_;
    std::size_t next_ = 0, turn_ = 0, failedAt_;
    Progress::Sink progress_;
};

thread_local std::size_t Runner::current = 0;
}

std::size_t filesAtOnce(std::size_t count, Load load)
{
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    std::size_t workers = load == Load::heavy ? std::max<std::size_t>(1, cores / 4) : cores;
    if (const long long available = availableMemory(); available >= 0) {
        workers = std::min<std::size_t>(workers, std::size_t(std::max(1LL, available / bytesPerFile)));
    }
    return std::max<std::size_t>(1, std::min(workers, count));
}

bool alone()
{
    return !sharing;
}

void run(std::size_t count, Load load, const std::function<void(std::size_t)>& work, const std::function<void(std::size_t)>& undo)
{
    if (count == 0) return;
    const std::size_t atOnce = filesAtOnce(count, load);
    Runner runner(count, atOnce > 1, work);
    std::vector<std::jthread> helpers;
    for (std::size_t k = 1; k < atOnce; ++k) helpers.emplace_back([&runner] { runner.serve(); });
    runner.serve();
    for (std::jthread& helper : helpers) helper.join();
    runner.settle(undo);
}

}
