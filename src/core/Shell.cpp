#include "core/Shell.h"

#include "core/Errors.h"
#include "core/Files.h"

#include <QDir>
#include <QProcess>
#include <QUuid>

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

extern char** environ;

namespace Shell {

namespace {
// Closes a descriptor when it goes out of scope.
struct Fd {
    int fd = -1;
    ~Fd() { reset(); }
    void reset()
    {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

struct RemoveOnExit {
    Path path;
    ~RemoveOnExit()
    {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
};

std::string toUtf8(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

std::string errorTail(const Path& errFile)
{
    std::ifstream in(errFile, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::vector<std::string> lines;
    std::string line;
    std::istringstream text(toUtf8(buffer.str()));
    while (std::getline(text, line)) {
        if (!line.empty()) lines.push_back(line);
    }
    std::string tail;
    for (size_t i = lines.size() > 3 ? lines.size() - 3 : 0; i < lines.size(); ++i) {
        if (!tail.empty()) tail += " ";
        tail += lines[i];
    }
    return tail;
}

// A job process already has no terminal: its programs stay in its session and process
// group, so that ending the job ends them too.
bool leadsSessionWithoutTerminal()
{
    static const bool leads = [] {
        if (::getsid(0) != ::getpid()) return false;
        const int tty = ::open("/dev/tty", O_RDONLY | O_NOCTTY | O_CLOEXEC);
        if (tty >= 0) ::close(tty);
        return tty < 0;
    }();
    return leads;
}

std::error_code systemError(int number)
{
    return {number, std::generic_category()};
}

void check(int rc, const Path& exe)
{
    if (rc != 0) throw KError("Couldn't start " + exe.filename().string() + ": " + Errors::reason(systemError(rc)));
}

// Why a program could not be started, in words that say what to do about it.
std::string notStarted(const Path& exe, const std::optional<Path>& cwd, int number)
{
    const std::string name = exe.filename().string();
    // A working folder that cannot be entered fails the start as well.
    if (cwd && ::access(exe.c_str(), F_OK) == 0 && ::access(cwd->c_str(), X_OK) != 0) {
        return "Couldn't start " + name + " in " + cwd->filename().string() + ": " + Errors::reason(systemError(errno));
    }
    if (number == ENOENT) return "Couldn't start " + name + ": it isn't installed (" + exe.string() + " is missing)";
    if (number == EACCES) return "Couldn't start " + name + ": " + exe.string() + " isn't allowed to run";
    if (number == ENOEXEC) return "Couldn't start " + name + ": " + exe.string() + " isn't a program this computer can run";
    return "Couldn't start " + name + ": " + Errors::reason(systemError(number));
}
}

std::string run(const Path& exe, const std::vector<std::string>& args, const std::optional<Path>& cwd, const std::optional<Path>& stdoutTo)
{
    const Path errFile = Path(QDir::tempPath().toStdString()) / ("Varnolt-" + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toStdString() + ".err");
    RemoveOnExit removeErr{errFile};

    Fd errFd{::open(errFile.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0600)};
    if (errFd.fd < 0) throw KError("Couldn't create a temporary file: " + Errors::reason(systemError(errno), true));
    Fd outFd, readEnd;
    if (stdoutTo) {
        outFd.fd = ::open(stdoutTo->c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0644);
        if (outFd.fd < 0) throw KError(Files::failure("write", *stdoutTo, systemError(errno), true));
    } else {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) check(errno, exe);
        readEnd.fd = fds[0];
        outFd.fd = fds[1];
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    struct ActionsGuard {
        posix_spawn_file_actions_t* a;
        ~ActionsGuard() { posix_spawn_file_actions_destroy(a); }
    } actionsGuard{&actions};
    check(posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0), exe);
    check(posix_spawn_file_actions_adddup2(&actions, outFd.fd, 1), exe);
    check(posix_spawn_file_actions_adddup2(&actions, errFd.fd, 2), exe);
    if (cwd) check(posix_spawn_file_actions_addchdir_np(&actions, cwd->c_str()), exe);

    std::vector<std::string> argvStore;
    argvStore.reserve(args.size() + 1);
    argvStore.push_back(exe.string());
    argvStore.insert(argvStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argvStore) argv.push_back(a.data());
    argv.push_back(nullptr);

    // A session of its own leaves the program without a controlling terminal, so nothing it
    // runs can stop to ask for a password on /dev/tty.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    struct AttributesGuard {
        posix_spawnattr_t* a;
        ~AttributesGuard() { posix_spawnattr_destroy(a); }
    } attributesGuard{&attributes};
    if (!leadsSessionWithoutTerminal()) check(posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID), "posix_spawn");

    pid_t pid = 0;
    const int spawnError = ::posix_spawn(&pid, exe.c_str(), &actions, &attributes, argv.data(), environ);
    outFd.reset();
    errFd.reset();
    if (spawnError != 0) throw KError(notStarted(exe, cwd, spawnError));

    // Drain the pipe before waiting, so that output larger than the pipe buffer never blocks.
    std::string output;
    if (readEnd.fd >= 0) {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(readEnd.fd, buffer, sizeof buffer);
            if (n > 0) output.append(buffer, static_cast<size_t>(n));
            else if (n == 0 || errno != EINTR) break;
        }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }

    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (code == 0) return toUtf8(output);

    const std::string name = exe.filename().string();
    const std::string tail = errorTail(errFile);
    if (!tail.empty()) throw KError(name + ": " + tail);
    throw KError(name + " failed (exit " + std::to_string(code) + ")");
}

void launch(const Path& exe, const std::vector<std::string>& args, const std::optional<Path>& cwd)
{
    QStringList list;
    for (const std::string& arg : args) list << QString::fromStdString(arg);
    const QString folder = cwd ? QString::fromStdString(cwd->string()) : QString();
    if (!QProcess::startDetached(QString::fromStdString(exe.string()), list, folder)) throw KError("Couldn't start " + exe.filename().string());
}

}
