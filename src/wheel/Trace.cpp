#include "wheel/Trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace Trace {

namespace {
int handle = -1;
// Set by the first line written and kept for the life of the process, so stamps keep
// growing across drags.
std::optional<std::chrono::steady_clock::time_point> origin;
}

Path logFile()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    const Path base = state && Path(state).is_absolute() ? Path(state) : Path(home ? home : "") / ".local/state";
    const Path folder = base / "Varnolt";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder / "wheel.log";
}

void start()
{
    if (handle >= 0) ::close(handle);
    handle = ::open(logFile().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
}

void log(const std::string& message)
{
    if (handle < 0) return;
    const auto now = std::chrono::steady_clock::now();
    if (!origin) origin = now;
    const std::string text = line(std::chrono::duration<double>(now - *origin).count(), message);
    // A lost diagnostic line is not worth failing for.
    [[maybe_unused]] const ssize_t written = ::write(handle, text.data(), text.size());
}

std::string describe(Qt::KeyboardModifiers flags)
{
    std::string text;
    if (flags & Qt::ControlModifier) text += "⌃";
    if (flags & Qt::AltModifier) text += "⌥";
    if (flags & Qt::ShiftModifier) text += "⇧";
    if (flags & Qt::MetaModifier) text += "⌘";
    return text.empty() ? "none" : text;
}

std::string line(double seconds, const std::string& message)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%9.3f", seconds);
    return stamp + ("  " + message) + "\n";
}

}
