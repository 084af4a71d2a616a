#include "core/Jobs.h"

#include "core/Errors.h"
#include "core/JobProcess.h"
#include "core/JobProtocol.h"
#include "core/Output.h"
#include "core/Progress.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using JobProtocol::Kind;
using JobProtocol::Record;

namespace Jobs {

namespace {
std::mutex limitsLock;

Limits& current()
{
    static Limits limits = defaultLimits();
    return limits;
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// What the application heard from a job before it ended.
struct Heard {
    std::optional<OptionResult> result;
    std::optional<Record> failure;
    // Every name the job reserved, in order, and whether it still waits to be finished.
    std::vector<std::pair<Path, bool>> names;
    bool anything = false;
    bool stalled = false;

    bool ended() const { return result || failure; }
    void mark(const Path& path, bool open)
    {
        for (auto& [name, waiting] : names) {
            if (name == path) waiting = open;
        }
    }
};

bool take(Heard& heard, const Record& record)
{
    const auto& t = record.texts;
    switch (record.kind) {
    case Kind::progress: {
        double fraction = 0;
        if (t.size() != 1 || std::from_chars(t[0].data(), t[0].data() + t[0].size(), fraction).ec != std::errc()) return false;
        Progress::report(fraction);
        return true;
    }
    case Kind::reserved:
        if (t.size() != 1) return false;
        heard.names.emplace_back(t[0], true);
        return true;
    case Kind::kept:
    case Kind::released:
        if (t.size() != 1) return false;
        heard.mark(t[0], false);
        return true;
    case Kind::finished: {
        const auto flag = [](const std::string& text) { return text == "0" || text == "1"; };
        if (t.size() < 4 || !flag(t[0]) || !flag(t[2])) return false;
        OptionResult result;
        if (t[0] == "1") result.message = t[1];
        if (t[2] == "1") result.clipboard = t[3];
        result.outputs.assign(t.begin() + 4, t.end());
        heard.result = std::move(result);
        return true;
    }
    case Kind::failed:
        if (t.size() != 2 || (t[0] != "cancel" && t[0] != "error")) return false;
        heard.failure = record;
        return true;
    case Kind::request: return false;
    }
    return false;
}

// Removes what a job reserved and never finished, the latest first, so that a file inside a
// reserved folder goes before its folder.
void removeUnfinished(const Heard& heard)
{
    for (auto it = heard.names.rbegin(); it != heard.names.rend(); ++it) {
        if (!it->second) continue;
        std::error_code ec;
        fs::remove_all(it->first, ec);
    }
}

std::chrono::milliseconds quietLimit(const Paths& files)
{
    std::int64_t bytes = 0;
    for (const Path& file : files) bytes += Output::size(file);
    const Limits limits = Jobs::limits();
    return limits.quiet + limits.quietPerMegabyte * (bytes >> 20);
}
}

Limits defaultLimits()
{
    const std::int64_t memory = static_cast<std::int64_t>(::sysconf(_SC_PHYS_PAGES)) * ::sysconf(_SC_PAGESIZE);
    return {std::max<std::int64_t>(memory / 2, std::int64_t{2} << 30), std::chrono::minutes(10), std::chrono::seconds(5)};
}

Limits limits()
{
    const std::lock_guard guard(limitsLock);
    return current();
}

void setLimits(const Limits& next)
{
    const std::lock_guard guard(limitsLock);
    current() = next;
}

void setProgram(const Path& program)
{
    JobProcesses::setProgram(program);
}

std::string failure(const Request& request, const std::string& why)
{
    const std::string verb = request.mode == WheelMode::convert ? "convert" : lower(request.title);
    const std::string what = request.files.size() == 1 ? request.files.front().filename().string() : std::to_string(request.files.size()) + " files";
    return "Couldn't " + verb + " " + what + ": " + why;
}

struct Job::State {
    Request request;
    JobProcess process;
    std::mutex lock;
    bool cancelled = false;
    bool ended = false;

    // Sends the request; false when the process is already gone.
    bool send() const
    {
        Record record{Kind::request, {WheelModes::word(request.mode), request.title, Editing::word(request.choice)}};
        for (const Path& file : request.files) record.texts.push_back(file.string());
        return JobProtocol::send(process.socket, record);
    }

    // Reads records until the job says how its work ended, goes quiet for too long, or dies.
    Heard listen()
    {
        Heard heard;
        JobProtocol::Decoder decoder;
        const auto quiet = quietLimit(request.files);
        auto deadline = Clock::now() + quiet;
        char buffer[65536];
        while (!heard.ended()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            pollfd watch{process.socket, POLLIN, 0};
            const int ready = ::poll(&watch, 1, static_cast<int>(std::clamp<long long>(left, 0, 60'000)));
            if (ready < 0 && errno == EINTR) continue;
            if (ready == 0) {
                if (Clock::now() < deadline) continue;
                heard.stalled = true;
                return heard;
            }
            const ssize_t n = ready < 0 ? -1 : ::recv(process.socket, buffer, sizeof buffer, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return heard;
            heard.anything = true;
            deadline = Clock::now() + quiet;
            try {
                decoder.feed({buffer, static_cast<std::size_t>(n)});
                while (!heard.ended()) {
                    const auto record = decoder.next();
                    if (!record) break;
                    if (!take(heard, *record)) throw std::runtime_error("unexpected job record");
                }
            } catch (const std::runtime_error&) {
                // Bytes that make no sense: the job is treated as one that died.
                return heard;
            }
        }
        return heard;
    }

    // Ends the process and everything it started; whether the job was cancelled.
    bool finish()
    {
        const std::lock_guard guard(lock);
        ended = true;
        JobProcesses::end(process);
        return cancelled;
    }

    bool replaceIdle()
    {
        const std::lock_guard guard(lock);
        if (cancelled) return false;
        const int status = JobProcesses::end(process);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != JobProcesses::idleExit) return false;
        process = JobProcesses::startNew();
        return true;
    }
};

Job::Job(Request request) : state_(std::make_unique<State>())
{
    state_->request = std::move(request);
    state_->process = JobProcesses::take();
}

Job::~Job()
{
    state_->finish();
    JobProcesses::loadAhead();
}

void Job::cancel()
{
    const std::lock_guard guard(state_->lock);
    state_->cancelled = true;
    if (!state_->ended && state_->process.pid > 0) ::kill(-state_->process.pid, SIGKILL);
}

OptionResult Job::wait()
{
    State& s = *state_;
    Heard heard = s.send() ? s.listen() : Heard{};
    // A process loaded ahead may have given up waiting just as the request came: the request
    // then goes once more, to a new process.
    if (!heard.ended() && !heard.anything && !heard.stalled && s.replaceIdle()) heard = s.send() ? s.listen() : Heard{};
    const bool cancelled = s.finish();
    if (heard.result) return *heard.result;
    if (heard.failure) {
        if (heard.failure->texts[0] == "cancel") throw UserCancelled();
        throw KError(heard.failure->texts[1]);
    }
    removeUnfinished(heard);
    if (cancelled) throw UserCancelled();
    throw KError(failure(s.request, heard.stalled ? "it made no progress and was stopped" : "the converter stopped unexpectedly"));
}

OptionResult run(const Request& request)
{
    return Job(request).wait();
}

}
