#pragma once
#include <QImage>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A desktop session of the test program's own: an Xvfb server on the first free display
// (found with -displayfd, so that test programs running at once never meet) and a private
// D-Bus session bus. Started before the application, so that windows are real X windows that
// xdotool can click and screenshots can show; stopped after it.
namespace TestDesktop {
// Starts both and points DISPLAY and DBUS_SESSION_BUS_ADDRESS at them; false when Xvfb is
// missing. Call before the QApplication exists.
bool start(QSize screen = {1280, 800});
// Call after the QApplication is gone.
void stop();
bool running();

// The whole screen as the X server shows it.
QImage screenshot();
// Saves the picture as <name>.png into the folder named by $VARNOLT_SCREENSHOTS, when set.
void keep(const QImage& picture, const QString& name);
// Runs xdotool on the display; the application keeps handling events meanwhile.
bool xdotool(const QStringList& arguments);
// Clicks at a point of the screen with the real pointer.
bool click(QPoint at);
// Presses at the first point, moves through the others with a pause of seconds after each
// step, and lets go unless told to hold.
bool drag(const std::vector<QPoint>& points, double seconds, bool release = true);
// A program started on the display; it is killed when this goes, or when the test program dies.
struct Kill {
    void operator()(QProcess* process) const;
};
using Program = std::unique_ptr<QProcess, Kill>;
Program launch(const QString& program, const QStringList& arguments);
// Handles events until the condition holds; false when it still fails after timeoutMs.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 5000);
// Handles events for a while.
void pause(int ms);
// Writes the bytes into the file a piece at a time, handling events for a while after each, as
// a download arrives.
void writeSlowly(const std::string& bytes, const std::filesystem::path& to, int pieces, int pauseMs);
}

#define REQUIRE_DESKTOP() \
    if (!TestDesktop::running()) GTEST_SKIP() << "Xvfb is not installed"

