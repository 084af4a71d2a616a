#include "TestSupport.h"

#include "core/OptionRun.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <chrono>
#include <latch>
#include <thread>

using namespace TestSupport;

// More long runs than cores all progress at once: none waits for another to end.
TEST(OptionRun, LongRunsNeverQueueBehindEachOther)
{
    constexpr int runs = 6;
    std::latch allStarted(runs);
    std::atomic<int> metTogether = 0;
    std::vector<RunOutcome> outcomes;
    std::atomic<int> reported = 0;
    for (int i = 0; i < runs; ++i) {
        const RunFn run = [&, i](const Paths&) -> OptionResult {
            allStarted.count_down();
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!allStarted.try_wait() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (allStarted.try_wait()) ++metTogether;
            Progress::report(0.5);
            if (i == 0) throw KError("The first one fails");
            return {};
        };
        OptionRun::inBackground(run, {}, [&](double fraction) { reported += fraction == 0.5; }, [&](const RunOutcome& outcome) {
            EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
            outcomes.push_back(outcome);
        });
    }
    OptionRun::waitForAll();
    QCoreApplication::processEvents();
    EXPECT_EQ(metTogether, runs);
    ASSERT_EQ(outcomes.size(), size_t(runs));
    EXPECT_EQ(std::count_if(outcomes.begin(), outcomes.end(), [](const RunOutcome& o) { return o.failure != nullptr; }), 1);
    EXPECT_EQ(reported, runs);
}
