#include "documents/ActionOps.h"

#include "core/Desktop.h"
#include "core/Errors.h"
#include "core/Files.h"
#include "core/Output.h"
#include "core/Shell.h"

#include <QStandardPaths>
#include <QString>

#include <cstdlib>
#include <sstream>

namespace fs = std::filesystem;

namespace ActionOps {

namespace {
const char* const unshareable = "Sharing isn't available — pair a device with KDE Connect first";

// Files and bytes under an item, symbolic links counted as they are.
std::pair<std::uintmax_t, std::uintmax_t> tally(const Path& item)
{
    std::uintmax_t count = 1, bytes = 0;
    const auto add = [&](const fs::directory_entry& entry) {
        std::error_code ec;
        if (entry.is_regular_file(ec) && !entry.is_symlink(ec)) bytes += entry.file_size(ec);
    };
    add(fs::directory_entry(item));
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(item, ec))) {
        for (auto it = fs::recursive_directory_iterator(item, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            ++count;
            add(*it);
        }
    }
    return {count, bytes};
}

// Another disk: copy with everything cp keeps (times, modes, links), compare, then remove the
// original. The reserved name is removed again on any failure before the original goes.
Path moveAcross(const Path& item, Output::Pending& target, bool folder)
{
    const Path& to = target.path();
    Shell::run("/bin/cp", {"-a", "--", folder ? (item / ".").string() : item.string(), to.string()});
    if (tally(item) != tally(to)) throw KError("Couldn't move " + item.filename().string() + ": the copy on the other disk didn't match the original");
    const Path moved = target.keep();
    std::error_code ec;
    fs::remove_all(item, ec);
    if (!ec) return moved;
    if (!folder) {
        // The original is whole: keep it, not two copies.
        fs::remove(moved, ec);
        throw KError(Files::failure("move", item, ec ? ec : std::make_error_code(std::errc::permission_denied), true));
    }
    throw KError("Copied " + item.filename().string() + " to " + moved.parent_path().filename().string() + ", but couldn't remove the original: " +
                 Errors::reason(ec, true));
}

Path moveOne(const Path& item, const Path& folder)
{
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(item, ec);
    if (!fs::exists(status)) throw KError(Files::failure("move", item, std::make_error_code(std::errc::no_such_file_or_directory), false));
    const bool isFolder = fs::is_directory(status);
    const Path name = item.filename();
    std::string ext = name.extension().string();
    if (!ext.empty()) ext.erase(0, 1);
    // The free name is held by an empty placeholder until the item replaces it, so a file
    // that appears meanwhile under that name is never overwritten.
    Output::Pending target(Output::unique(folder, ext.empty() ? name.string() : name.stem().string(), ext, isFolder ? Output::Item::folder : Output::Item::file));
    fs::rename(item, target.path(), ec);
    if (!ec) return target.keep();
    if (ec == std::errc::cross_device_link) return moveAcross(item, target, isFolder);
    throw KError(Files::failure("move", item, ec, true));
}

std::optional<Path> program(const std::string& name)
{
    if (name.empty()) return std::nullopt;
    const QString found = QStandardPaths::findExecutable(QString::fromStdString(name));
    if (found.isEmpty()) return std::nullopt;
    return Path(found.toStdString());
}
}

std::optional<Path> move(const Paths& files)
{
    const std::string what = files.size() == 1 ? files.front().filename().string() : std::to_string(files.size()) + " items";
    const std::optional<Path> folder = Desktop::chooseFolder("Move " + what + " to…", "Move Here");
    if (folder) moveInto(files, *folder);
    return folder;
}

Paths moveInto(const Paths& files, const Path& folder)
{
    Paths moved;
    for (const Path& file : files) moved.push_back(moveOne(file, folder));
    return moved;
}

void airDrop(const Paths& files)
{
    const auto cli = program("kdeconnect-cli");
    if (!cli) throw KError(unshareable);
    std::istringstream devices(Shell::run(*cli, {"--list-available", "--id-only"}));
    std::string device;
    while (device.empty() && std::getline(devices, device)) {
    }
    if (device.empty()) throw KError(unshareable);
    for (const Path& file : files) Shell::run(*cli, {"--device", device, "--share", absoluteNormal(file).string()});
}

std::string copyPath(const Paths& files)
{
    std::string text;
    for (const Path& file : files) text += (text.empty() ? "" : "\n") + absoluteNormal(file).string();
    return text;
}

void openTerminal(const Paths& files)
{
    const Path first = absoluteNormal(files.front());
    std::error_code ec;
    const Path folder = fs::is_directory(first, ec) ? first : first.parent_path();
    const char* chosen = std::getenv("TERMINAL");
    std::optional<Path> terminal = program(chosen ? chosen : "");
    if (!terminal) terminal = program("x-terminal-emulator");
    if (!terminal) throw KError("No terminal found — set $TERMINAL to yours, or install one: sudo apt install xterm");
    Shell::launch(*terminal, {}, folder);
}

}
