#include "core/JobProcess.h"

#include "core/Errors.h"
#include "core/Output.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace JobProcesses {

namespace {
std::mutex lock;
std::optional<JobProcess> ahead;
bool keepAhead = true;
Path program = "/proc/self/exe";

std::string startedWith(const Jobs::Limits& limits)
{
    std::string key = program.string() + '\0' + std::to_string(limits.memoryBytes) + '\0';
    for (char** entry = environ; *entry; ++entry) key += std::string(*entry) + '\0';
    return key;
}

void check(int rc)
{
    if (rc != 0) throw KError("Couldn't start a job: " + Errors::reason({rc, std::generic_category()}));
}

// Ours, with TMPDIR pointing at the job's own folder.
std::vector<std::string> environment(const Path& temporary)
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry) {
        if (std::strncmp(*entry, "TMPDIR=", 7) != 0) entries.emplace_back(*entry);
    }
    entries.push_back("TMPDIR=" + temporary.string());
    return entries;
}

std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> result;
    for (std::string& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

JobProcess spawn()
{
    const Jobs::Limits limits = Jobs::limits();
    JobProcess process;
    process.startedWith = startedWith(limits);
    process.temporary = Output::tempDirectory();
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        const int error = errno;
        std::error_code ec;
        std::filesystem::remove_all(process.temporary, ec);
        check(error);
    }
    process.socket = ends[0];

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);

    std::vector<std::string> args = {program.string(), "--job"};
    std::vector<std::string> env = environment(process.temporary);
    const int rc = ::posix_spawn(&process.pid, program.c_str(), &actions, &attributes, pointers(args).data(), pointers(env).data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(ends[1]);
    if (rc != 0) {
        process.pid = -1;
        end(process);
        check(rc);
    }
    // Set from here rather than by the job, so that the limit holds whatever the job does.
    const rlimit data{static_cast<rlim_t>(limits.memoryBytes), static_cast<rlim_t>(limits.memoryBytes)};
    ::prlimit(process.pid, RLIMIT_DATA, &data, nullptr);
    return process;
}

bool stillWaiting(const JobProcess& process)
{
    int status = 0;
    return process.startedWith == startedWith(Jobs::limits()) && ::waitpid(process.pid, &status, WNOHANG) == 0;
}
}

JobProcess startNew()
{
    return spawn();
}

JobProcess take()
{
    const std::lock_guard guard(lock);
    std::optional<JobProcess> taken = std::move(ahead);
    ahead.reset();
    if (taken && !stillWaiting(*taken)) {
        end(*taken);
        taken.reset();
    }
    return taken ? std::move(*taken) : spawn();
}

void loadAhead()
{
    const std::lock_guard guard(lock);
    if (!keepAhead || ahead) return;
    try {
        ahead = spawn();
    } catch (const KError&) {
        // The next job starts its own process, and says why if that fails too.
    }
}

int end(JobProcess& process)
{
    int status = 0;
    if (process.pid > 0) {
        ::kill(-process.pid, SIGKILL);
        while (::waitpid(process.pid, &status, 0) < 0 && errno == EINTR) {
        }
        process.pid = -1;
    }
    if (process.socket >= 0) ::close(process.socket);
    process.socket = -1;
    std::error_code ec;
    if (!process.temporary.empty()) std::filesystem::remove_all(process.temporary, ec);
    return status;
}

void setKeepAhead(bool keep)
{
    const std::lock_guard guard(lock);
    keepAhead = keep;
    if (!keep && ahead) {
        end(*ahead);
        ahead.reset();
    }
}

void setProgram(const Path& next)
{
    const std::lock_guard guard(lock);
    program = next;
}

}
