#include "presets/FolderWatcher.h"

#include "core/Errors.h"
#include "core/Files.h"
#include "core/Jobs.h"
#include "core/OptionRun.h"
#include "core/Output.h"
#include "core/Recents.h"
#include "core/Settings.h"
#include "presets/PresetStore.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

#include <algorithm>
#include <thread>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct FolderWatcher::Listing {
    struct Entry {
        std::string name;
        std::int64_t size = 0;
    };
    struct Folder {
        QUuid rule;
        std::string path;
        // None when the folder is missing or cannot be read.
        std::optional<std::vector<Entry>> entries;
        Clock::time_point at;
    };
    std::vector<Folder> folders;
};

namespace {
// The folder's own files: no hidden files, no folders ("Converted" among them), no partial
// downloads. None when the folder cannot be read.
std::optional<std::vector<FolderWatcher::Listing::Entry>> files(const Path& folder,
                                                                  const std::set<std::string>& partial)
{
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return std::nullopt;
    std::vector<FolderWatcher::Listing::Entry> found;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) return std::nullopt;
        const Path path = it->path();
        const std::string name = path.filename().string();
        std::error_code statError;
        if (name.starts_with(".") || fs::is_directory(path, statError) || partial.count(lowerExt(path))) continue;
        found.push_back({name, Output::size(path)});
    }
    return found;
}

// Moves the finished output into its reserved place in "Converted", copying across disks.
void publish(const Path& output, const Path& destination)
{
    std::error_code ec;
    fs::rename(output, destination, ec);
    if (ec == std::errc::cross_device_link) Files::copy(output, destination, fs::copy_options::overwrite_existing);
    else if (ec) throw KError(Files::failure("move", output, ec, true));
}

// Converts a copy of file in a scratch folder and moves the result into folder/Converted. The
// conversion runs in a job process, as the preset's option on the wheel does: a library that
// crashes on one file ends that job, never the application.
Path convertCopy(const Path& file, const Path& folder, const Preset& preset)
{
    const Output::ScratchDir scratch;
    const Path copy = scratch.path() / file.filename();
    Files::copy(file, copy);
    const OptionResult result = Jobs::run({WheelMode::convert, preset.name, {copy}});
    if (result.outputs.size() != 1) throw KError(Jobs::failure({WheelMode::convert, preset.name, {file}}, "the converter gave no result"));
    const Path output = result.outputs.front();
    const Path converted = folder / "Converted";
    Files::createFolders(converted);
    Path stem = output.filename();
    stem.replace_extension();
    const std::string ext = output.extension().empty() ? std::string{} : output.extension().string().substr(1);
    Output::Pending destination(Output::unique(converted, stem.string(), ext, Output::Item::file));
    publish(output, destination.path());
    return destination.keep();
}
}

const std::set<std::string>& FolderWatcher::partialExtensions()
{
    static const std::set<std::string> exts = {"crdownload", "download", "part", "partial", "tmp", "opdownload"};
    return exts;
}

int FolderWatcher::defaultAtOnce()
{
    // Each conversion already keeps a core busy (image coding is itself threaded).
    return std::clamp(QThread::idealThreadCount(), 1, 4);
}

FolderWatcher::FolderWatcher(int intervalMs, int atOnce, QObject* parent)
    : QObject(parent), interval_(intervalMs), atOnce_(std::max(1, atOnce))
{
    timer_.setInterval(interval_);
    timer_.setTimerType(Qt::CoarseTimer);
    connect(&timer_, &QTimer::timeout, this, &FolderWatcher::scan);
}

FolderWatcher::~FolderWatcher() = default;

void FolderWatcher::start()
{
    reload();
    connect(&Settings::notifier(), &SettingsNotifier::changed, this, [this](const QString& key) {
        if (!key.isEmpty() && key != SettingsKey::watchFolders && key != SettingsKey::presets) return;
        reload();
        scan();
    });
    scan();
}

void FolderWatcher::reload()
{
    const std::vector<WatchRule> rules = WatchStore::all();
    std::set<QUuid> stored;
    for (const WatchRule& rule : rules) {
        stored.insert(rule.id);
        const auto entry = known_.find(rule.id);
        // A new rule, or one now pointing at another folder, first takes that folder's
        // present files as known; they are never converted.
        if (entry == known_.end() || entry->second.folder != rule.path) known_[rule.id] = {rule.path, std::nullopt};
    }
    std::erase_if(known_, [&](const auto& entry) { return !stored.count(entry.first); });
    if (rules.empty()) timer_.stop();
    else if (!timer_.isActive()) timer_.start();
}

void FolderWatcher::scan()
{
    if (listing_) {
        rescan_ = true;
        return;
    }
    reload();
    if (known_.empty()) return;
    const std::vector<Preset> presets = PresetStore::all();
    auto listing = std::make_shared<Listing>();
    for (const WatchRule& rule : WatchStore::all()) {
        const auto known = known_.find(rule.id);
        if (known == known_.end()) continue;
        const bool hasPreset = std::any_of(presets.begin(), presets.end(), [&](const Preset& p) { return p.id == rule.presetID; });
        if (!known->second.names || (rule.enabled && hasPreset)) listing->folders.push_back({rule.id, known->second.folder, std::nullopt, {}});
    }
    if (listing->folders.empty()) return;
    listing_ = listing;
    // A folder on a slow or hung network mount keeps only this thread waiting.
    std::thread([listing, guard = QPointer<FolderWatcher>(this)] {
        for (Listing::Folder& folder : listing->folders) {
            folder.entries = files(folder.path, partialExtensions());
            folder.at = Clock::now();
        }
        if (QCoreApplication* app = QCoreApplication::instance()) {
            QMetaObject::invokeMethod(app, [listing, guard] {
                if (guard) guard->applyListing(*listing);
            }, Qt::QueuedConnection);
        }
    }).detach();
}

void FolderWatcher::applyListing(const Listing& listing)
{
    listing_.reset();
    const std::vector<WatchRule> rules = WatchStore::all();
    const std::vector<Preset> presets = PresetStore::all();
    for (const Listing::Folder& folder : listing.folders) {
        const auto entry = known_.find(folder.rule);
        // Rules removed or moved while the folder was read wait for the next reading.
        if (entry == known_.end() || entry->second.folder != folder.path || !folder.entries) continue;
        Known& known = entry->second;
        if (!known.names) {
            known.names.emplace();
            for (const Listing::Entry& file : *folder.entries) known.names->insert(file.name);
            continue;
        }
        const auto rule = std::find_if(rules.begin(), rules.end(), [&](const WatchRule& r) { return r.id == folder.rule; });
        if (rule == rules.end() || !rule->enabled) continue;
        const auto preset = std::find_if(presets.begin(), presets.end(), [&](const Preset& p) { return p.id == rule->presetID; });
        if (preset == presets.end()) continue;
        for (const Listing::Entry& file : *folder.entries) consider(*rule, *preset, *known.names, Path(folder.path) / file.name, file.size, folder.at);
    }
    emit scanned();
    pump();
    if (rescan_) {
        rescan_ = false;
        scan();
    }
}

void FolderWatcher::consider(const WatchRule& rule, const Preset& preset, std::set<std::string>& names, const Path& file,
                             std::int64_t size, Clock::time_point at)
{
    const std::string name = file.filename().string();
    if (names.count(name)) return;
    // Two readings a whole interval apart (less a margin for timer slack) with the same size.
    const auto settle = std::chrono::milliseconds(interval_ - interval_ / 10);
    const auto seen = lastSize_.find(file.string());
    if (size >= 1 && seen != lastSize_.end() && seen->second.size == size && at - seen->second.since >= settle) {
        names.insert(name);
        lastSize_.erase(seen);
        if (FileKinds::of(file) == PresetKinds::fileKind(preset.kind)) queue_.push_back({file, Path(rule.path), preset});
        return;
    }
    if (seen == lastSize_.end() || seen->second.size != size) lastSize_[file.string()] = {size, at};
}

void FolderWatcher::pump()
{
    while (running_ < atOnce_ && !queue_.empty()) {
        Job job = std::move(queue_.front());
        queue_.pop_front();
        ++running_;
        const RunFn run = [job](const Paths&) { return OptionResult{{convertCopy(job.file, job.folder, job.preset)}, std::nullopt}; };
        OptionRun::inBackground(run, {job.file}, {}, [job, guard = QPointer<FolderWatcher>(this)](const RunOutcome& outcome) {
            if (!guard) return;
            if (outcome.failure) guard->finished(job, {}, Errors::isCancel(outcome.failure) ? std::string{} : Errors::userMessage(outcome.failure));
            else guard->finished(job, outcome.result.outputs.front(), {});
        });
    }
}

void FolderWatcher::finished(const Job& job, const Path& destination, const std::string& failure)
{
    --running_;
    const QString source = QString::fromStdString(job.file.string());
    if (!destination.empty()) {
        Recents::add({destination});
        UndoStore::record({destination});
        emit converted(source, QString::fromStdString(job.preset.name), QString::fromStdString(destination.string()));
    } else if (!failure.empty()) {
        emit failed(source, QString::fromStdString(failure));
    }
    pump();
}
