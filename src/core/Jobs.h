#pragma once
#include "core/WheelMode.h"
#include "core/WheelOption.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

// Runs an option's work in a process of its own (this program started with --job), so that a
// crash, a runaway allocation or a hang in any library ends that one job with a message and
// never the application. The job finds the option as the command line does: by page, title
// and files (and an editor's choice). Its progress, results and every output name it reserves come back over a socket.
namespace Jobs {
struct Request {
    WheelMode mode;
    std::string title;
    Paths files;
    // What the user chose in the option's editor, for an interactive option.
    Editing::Choice choice = {};
};

struct Limits {
    std::int64_t memoryBytes;                     // the job's data size (RLIMIT_DATA)
    std::chrono::milliseconds quiet;              // how long a job may go without a sign of work
    std::chrono::milliseconds quietPerMegabyte;  // and more for each megabyte of input
};
// Half the computer's memory (at least 2 GB); 10 minutes and 5 s per megabyte.
Limits defaultLimits();
Limits limits();
void setLimits(const Limits& limits);
// The program started for a job; this program itself unless set (tests set the real one).
void setProgram(const Path& program);

// "Couldn't convert data.csv: <why>", with the verb of the option's page.
std::string failure(const Request& request, const std::string& why);

// One job. A process loaded ahead of time is used when it was started with the environment
// and limits of today; another is then started for the next job.
class Job {
public:
    explicit Job(Request request);
    ~Job();
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;
    // Blocks until the job ends, passing its progress to Progress::report. Returns its result,
    // or throws KError (its own message, or why it was ended) or UserCancelled. Names it
    // reserved and never finished are removed, innermost first, and its temporary folder too.
    OptionResult wait();
    // Ends the job's process and everything it started; wait() then throws UserCancelled.
    // Any thread.
    void cancel();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Job(request).wait(): fits where an option's run function goes.
OptionResult run(const Request& request);
}
