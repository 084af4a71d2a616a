#include "cli/JobMode.h"

// Before Qt: glib's headers use the word Qt takes for signals.
#include "media/ImageVips.h"

#include "catalog/Catalog.h"
#include "core/Errors.h"
#include "core/JobProcess.h"
#include "core/JobProtocol.h"
#include "core/Jobs.h"
#include "core/OptionRun.h"
#include "core/Output.h"
#include "core/RunnerText.h"
#include "core/Settings.h"
#include "documents/TextFile.h"

#include <QApplication>

#include <atomic>
#include <cerrno>
#include <memory>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using JobProtocol::Kind;
using JobProtocol::Record;

namespace JobMode {

namespace {
constexpr int channel = 3;
std::mutex sending;

// A job whose application is gone has no one to work for.
void send(const Record& record)
{
    const std::lock_guard guard(sending);
    if (!JobProtocol::send(channel, record)) ::_exit(1);
}

Record awaitRequest()
{
    JobProtocol::Decoder decoder;
    char buffer[65536];
    for (;;) {
        pollfd watch{channel, POLLIN, 0};
        const int ready = ::poll(&watch, 1, JobProcesses::idleSeconds * 1000);
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) ::_exit(JobProcesses::idleExit);
        const ssize_t n = ::recv(channel, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ::_exit(0);
        try {
            decoder.feed({buffer, static_cast<std::size_t>(n)});
            if (auto record = decoder.next(); record && record->kind == Kind::request && record->texts.size() >= 3) return *record;
        } catch (const std::runtime_error&) {
            ::_exit(2);
        }
    }
}

// The application keeps its end open for as long as it waits for this job.
void endWithApplication()
{
    std::thread([] {
        char byte;
        for (;;) {
            const ssize_t n = ::recv(channel, &byte, 1, 0);
            if (n == 0 || (n < 0 && errno != EINTR)) ::_exit(1);
        }
    }).detach();
}

void announce(Output::Event event, const Path& path)
{
    const Kind kind = event == Output::Event::reserved ? Kind::reserved : event == Output::Event::kept ? Kind::kept : Kind::released;
    send({kind, {path.string()}});
}

Progress::Sink progressSink()
{
    auto shown = std::make_shared<std::atomic<int>>(-1);
    return [shown](double fraction) {
        const int permille = static_cast<int>(fraction * 1000);
        if (shown->exchange(permille) != permille) send({Kind::progress, {std::to_string(fraction)}});
    };
}

// Lets tests make a job die the ways a library can: after reserving its first output and
// leaving a scratch file, it crashes ("crash"), is killed ("kill") or stops making progress
// ("stall").
RunFn faulty(const std::string& fault)
{
    return [fault](const Paths& urls) -> OptionResult {
        Output::url(urls.front(), "part");
        TextFile::write(Output::tempDirectory() / "scratch", "left by a job");
        Progress::report(0.5);
        if (fault == "crash") std::raise(SIGSEGV);
        if (fault == "kill") std::raise(SIGKILL);
        for (;;) ::pause();
    };
}

std::string memoryLimit()
{
    rlimit data{};
    ::getrlimit(RLIMIT_DATA, &data);
    return RunnerText::byteCount(static_cast<std::int64_t>(data.rlim_cur));
}

Record outcome(const Jobs::Request& request, const RunOutcome& outcome)
{
    if (!outcome.failure) {
        const OptionResult& result = outcome.result;
        Record record{Kind::finished, {result.message ? "1" : "0", result.message.value_or(""), result.clipboard ? "1" : "0",
                                       result.clipboard.value_or("")}};
        for (const Path& output : result.outputs) record.texts.push_back(output.string());
        return record;
    }
    if (Errors::isCancel(outcome.failure)) return {Kind::failed, {"cancel", ""}};
    try {
        std::rethrow_exception(outcome.failure);
    } catch (const std::bad_alloc&) {
        return {Kind::failed, {"error", Jobs::failure(request, "it needs more memory than a job may use (" + memoryLimit() + ")")}};
    } catch (...) {
    }
    return {Kind::failed, {"error", Errors::userMessage(outcome.failure)}};
}

// Pays ahead, while the process waits for its request, what a request would otherwise pay for
// on first use: the option tables with the file types and image formats they consult, and
// libvips' coders and worker threads.
void prepare()
{
    try {
        const Path nowhere = Output::tempDirectory();
        for (const char* name : {"a.png", "a.jpg", "a.mp4", "a.mp3", "a.pdf", "a.csv", "a.docx", "a.zip"}) {
            for (WheelMode mode : WheelModes::allCases()) Catalog::options({nowhere / name}, mode);
        }
        std::error_code ec;
        std::filesystem::remove_all(nowhere, ec);
        ImageVips::warmUp();
    } catch (const std::exception&) {
        // Only a head start: the request does the same again and reports what fails.
    }
}

// The editor's choice, made in the application, applied to every file.
RunFn applying(const Interaction& interaction, const Editing::Choice& choice)
{
    return [apply = interaction.apply, choice](const Paths& urls) {
        OptionResult result;
        for (const Path& url : urls) result.outputs.push_back(apply(url, choice));
        return result;
    };
}

// The option the application chose: same page, same title, same files. A watched folder's
// preset may be one the wheel leaves out beyond its twelve slots: it is found all the same.
std::optional<WheelOption> chosen(const Jobs::Request& request)
{
    for (const WheelOption& option : Catalog::options(request.files, request.mode)) {
        if (option.title == request.title) return option;
    }
    if (request.mode != WheelMode::convert || request.files.empty()) return std::nullopt;
    for (const WheelOption& option : Catalog::presetOptions(Catalog::kindOf(request.files))) {
        if (option.title == request.title) return option;
    }
    return std::nullopt;
}
}

bool isJob(int argc, char** argv)
{
    return argc == 2 && std::strcmp(argv[1], "--job") == 0;
}

int serve(int argc, char** argv)
{
    // Programs the job starts must not hold the socket open: its end is how the application
    // learns that the job has died.
    ::fcntl(channel, F_SETFD, FD_CLOEXEC);
    // A job never shows a window.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Varnolt");
    QCoreApplication::setApplicationName("Varnolt");
    Settings::registerDefaults();
    ImageVips::start();
    prepare();

    const Record request = awaitRequest();
    // Presets and settings may have changed while this process waited.
    Settings::reload();
    endWithApplication();
    const auto mode = WheelModes::fromWord(request.texts[0]);
    Jobs::Request job{mode.value_or(WheelMode::convert), request.texts[1], Paths(request.texts.begin() + 3, request.texts.end())};
    try {
        job.choice = Editing::fromWord(request.texts[2]);
    } catch (const std::runtime_error&) {
        ::_exit(2);
    }
    Output::watch(announce);

    RunFn run;
    if (const char* fault = std::getenv("VARNOLT_JOB_FAULT")) run = faulty(fault);
    else if (const auto option = mode ? chosen(job) : std::nullopt) run = option->interaction && job.choice != Editing::Choice{} ? applying(*option->interaction, job.choice) : option->run;
    else run = [&job](const Paths&) -> OptionResult { throw KError(Catalog::noOption(job.title, Catalog::options(job.files, job.mode))); };

    OptionRun::inBackground(run, job.files, progressSink(), [&job](const RunOutcome& finished) {
        send(outcome(job, finished));
        // Nothing of this process is needed any more: no exit handlers, no library teardown.
        ::_exit(0);
    });
    return QApplication::exec();
}

}
