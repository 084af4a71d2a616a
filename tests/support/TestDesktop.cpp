#include "TestDesktop.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace TestDesktop {

namespace {
pid_t xvfb = 0, bus = 0;

// Starts a program whose first line on the given descriptor is what the caller waits for
// (the display number, the bus address); it dies with the test program.
std::string spawnAndRead(const std::vector<std::string>& argv, pid_t& server)
{
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(fds[0]);
        dup2(fds[1], 3);
        // Their complaints about the sandbox (file limits, missing extensions) are not the test's.
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 2);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(fds[1]);
    server = pid;
    std::string line;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') line += c;
    close(fds[0]);
    return line;
}

void end(pid_t& server)
{
    if (!server) return;
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    server = 0;
}
}

bool start(QSize screen)
{
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) return false;
    const std::string geometry = std::to_string(screen.width()) + "x" + std::to_string(screen.height()) + "x24";
    const std::string display = spawnAndRead({"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", geometry}, xvfb);
    if (display.empty()) return end(xvfb), false;
    setenv("DISPLAY", (":" + display).c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    const std::string address = spawnAndRead({"dbus-daemon", "--session", "--nofork", "--print-address=3"}, bus);
    if (!address.empty()) setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    // The desktop's own settings daemons and portals are not there: nothing to wait for.
    setenv("GTK_USE_PORTAL", "0", 1);
    return true;
}

void stop()
{
    end(bus);
    end(xvfb);
}

bool running() { return xvfb != 0; }

QImage screenshot() { return QGuiApplication::primaryScreen()->grabWindow(0).toImage(); }

void keep(const QImage& picture, const QString& name)
{
    const QString folder = qEnvironmentVariable("VARNOLT_SCREENSHOTS");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    picture.save(folder + "/" + name + ".png");
}

bool xdotool(const QStringList& arguments)
{
    QProcess process;
    process.start("xdotool", arguments);
    if (!process.waitForStarted()) return false;
    waitFor([&] { return process.state() == QProcess::NotRunning; }, 20000);
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool click(QPoint at) { return xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"}); }

bool drag(const std::vector<QPoint>& points, double seconds, bool release)
{
    QStringList steps;
    for (std::size_t i = 0; i < points.size(); ++i) {
        steps << "mousemove" << QString::number(points[i].x()) << QString::number(points[i].y());
        if (i == 0) steps << "mousedown" << "1";
        steps << "sleep" << QString::number(seconds);
    }
    if (release) steps << "mouseup" << "1";
    return xdotool(steps);
}

void Kill::operator()(QProcess* process) const
{
    process->kill();
    process->waitForFinished();
    delete process;
}

Program launch(const QString& program, const QStringList& arguments)
{
    Program process(new QProcess);
    process->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process->start(program, arguments);
    process->waitForStarted();
    return process;
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs) { return QTest::qWaitFor(condition, timeoutMs); }

void pause(int ms) { QTest::qWait(ms); }

void writeSlowly(const std::string& bytes, const std::filesystem::path& to, int pieces, int pauseMs)
{
    std::ofstream out(to, std::ios::binary);
    const std::size_t piece = bytes.size() / pieces + 1;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        out.write(bytes.data() + at, static_cast<std::streamsize>(std::min(piece, bytes.size() - at)));
        out.flush();
        pause(pauseMs);
    }
}

}
