#include "core/Output.h"

#include "core/Errors.h"
#include "core/Settings.h"

#include <QDir>
#include <QStandardPaths>
#include <QUuid>

#include <cerrno>
#include <mutex>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace Output {

namespace {
std::mutex watcherLock;
thread_local Turn* waiting = nullptr;
Watcher& watcher()
{
    static Watcher current;
    return current;
}

Path standardFolder(QStandardPaths::StandardLocation location)
{
    Path folder = QStandardPaths::writableLocation(location).toStdString();
    std::error_code ec;
    fs::create_directories(folder, ec);
    return folder;
}

std::string stem(const Path& source)
{
    Path rest = source;
    if (rest.filename().empty()) rest = rest.parent_path();
    rest.replace_extension();
    if (lowerExt(rest) == "tar") rest.replace_extension();
    return rest.filename().string();
}

enum class Claim { taken, claimed, unclaimable };

// Creates the item exclusively, so that a name is never handed out twice.
Claim claim(const Path& candidate, Item item)
{
    const int rc = item == Item::folder ? ::mkdir(candidate.c_str(), 0755)
                                        : ::open(candidate.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
    if (rc >= 0) {
        if (item == Item::file) ::close(rc);
        return Claim::claimed;
    }
    struct stat st;
    if (errno == EEXIST || ::lstat(candidate.c_str(), &st) == 0) return Claim::taken;
    return Claim::unclaimable;
}
}

Path directory(const Path& source)
{
    switch (Settings::outputLocation()) {
    case OutputLocation::downloads: return standardFolder(QStandardPaths::DownloadLocation);
    case OutputLocation::desktop: return standardFolder(QStandardPaths::DesktopLocation);
    case OutputLocation::sameFolder: break;
    }
    Path parent = absoluteNormal(source).parent_path();
    if (::euidaccess(parent.c_str(), W_OK) == 0) return parent;
    return standardFolder(QStandardPaths::DownloadLocation);
}

Path url(const Path& source, const std::string& ext, const std::string& suffix, std::optional<Item> item)
{
    std::string base = stem(source);
    if (!suffix.empty()) base += " (" + suffix + ")";
    return unique(directory(source), base, ext, item);
}

TurnScope::TurnScope(Turn& turn) : outer_(std::exchange(waiting, &turn)) {}

TurnScope::~TurnScope()
{
    waiting = outer_;
}

Path unique(const Path& folder, const std::string& name, const std::string& ext, std::optional<Item> item)
{
    struct Passing {
        Turn* turn = std::exchange(waiting, nullptr);
        ~Passing()
        {
            if (turn) turn->pass();
        }
    } passing;
    if (passing.turn) passing.turn->await();
    const Item kind = item.value_or(ext.empty() ? Item::folder : Item::file);
    const std::string dotExt = ext.empty() ? std::string{} : "." + ext;
    for (unsigned long long n = 1;; ++n) {
        const Path candidate = folder / (n == 1 ? name + dotExt : name + " " + std::to_string(n) + dotExt);
        // An unclaimable name (a folder we cannot write) is handed out as is: the writer
        // then fails with the system's reason.
        const Claim claimed = claim(candidate, kind);
        if (claimed == Claim::claimed) announce(Event::reserved, candidate);
        if (claimed != Claim::taken) return candidate;
    }
}

Path produce(const Path& source, const std::string& ext, const std::string& suffix, const std::function<void(const Path&)>& write)
{
    Pending pending(url(source, ext, suffix));
    write(pending.path());
    return pending.keep();
}

Path tempDirectory()
{
    const QString name = "Varnolt-" + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    const Path folder = Path(QDir::tempPath().toStdString()) / name.toStdString();
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) throw KError("Couldn't create a scratch folder: " + Errors::reason(ec, true));
    return folder;
}

std::int64_t size(const Path& url)
{
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(url, ec);
    if (ec || !fs::exists(st)) return 0;
    if (!fs::is_directory(st)) {
        const auto bytes = fs::is_regular_file(st) ? fs::file_size(url, ec) : 0;
        return ec ? 0 : static_cast<std::int64_t>(bytes);
    }
    std::int64_t total = 0;
    for (fs::recursive_directory_iterator it(url, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code itemError;
        if (it->is_regular_file(itemError) && !it->is_symlink(itemError)) {
            const auto bytes = it->file_size(itemError);
            if (!itemError) total += static_cast<std::int64_t>(bytes);
        }
    }
    return total;
}

void watch(Watcher next)
{
    const std::lock_guard guard(watcherLock);
    watcher() = std::move(next);
}

void announce(Event event, const Path& path)
{
    const std::lock_guard guard(watcherLock);
    if (watcher()) watcher()(event, path);
}

void release(const Path& path)
{
    std::error_code ec;
    fs::remove_all(path, ec);
    announce(Event::released, path);
}

Pending::~Pending()
{
    if (!kept_) release(path_);
}

Path Pending::keep()
{
    kept_ = true;
    announce(Event::kept, path_);
    return path_;
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    fs::remove_all(path_, ec);
}

}
