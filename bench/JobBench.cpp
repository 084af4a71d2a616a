// Drives bench/jobs.sh: runs one option on each file twice, in this process and in a job
// process of the given Varnolt program, and prints the milliseconds per file both ways.
// Before each job it pauses as a user between two drops would (PAUSE_MS, 2000 by default),
// so that the process loaded ahead has finished loading; PAUSE_MS=0 runs jobs back to back.
//   job_bench <varnolt> <convert|tools> <option> <files…>
#include "catalog/Catalog.h"
#include "core/Jobs.h"
#include "core/OptionRun.h"
#include "core/Settings.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void removeOutputs(const OptionResult& result)
{
    std::error_code ec;
    for (const Path& out : result.outputs) std::filesystem::remove_all(out, ec);
}
}

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: job_bench <varnolt> <convert|tools> <option> <files…>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Varnolt");
    QCoreApplication::setApplicationName("Varnolt");
    Settings::registerDefaults();
    Jobs::setProgram(argv[1]);
    const WheelMode mode = WheelModes::fromWord(argv[2]).value_or(WheelMode::convert);
    const std::string title = argv[3];
    const int pause = qEnvironmentVariableIsSet("PAUSE_MS") ? qEnvironmentVariableIntValue("PAUSE_MS") : 2000;

    double inProcess = 0, inJobs = 0, firstJob = 0;
    const int files = argc - 4;
    for (int i = 4; i < argc; ++i) {
        const Paths file = {absoluteNormal(argv[i])};
        const auto option = Catalog::find(Catalog::options(file, mode), title);
        if (!option) {
            std::fprintf(stderr, "no option %s for %s\n", title.c_str(), argv[i]);
            return 2;
        }
        auto start = Clock::now();
        const RunOutcome here = OptionRun::measured(option->run, file);
        inProcess += millisecondsSince(start);
        if (here.failure) return 1;
        removeOutputs(here.result);

        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        start = Clock::now();
        removeOutputs(Jobs::run({mode, option->title, file}));
        const double job = millisecondsSince(start);
        // The first job starts its process cold; every later one finds one loaded ahead.
        if (i == 4) firstJob = job;
        else inJobs += job;
    }
    const double here = inProcess / files;
    const double job = files > 1 ? inJobs / (files - 1) : firstJob;
    std::printf("%-8s %-6s in process %7.1f ms/file   in a job %7.1f ms/file   job cost %6.1f ms   (first, cold: %.0f ms)\n",
                title.c_str(), argv[2], here, job, job - here, firstJob);
    return 0;
}
