#pragma once
#include "core/Paths.h"
#include "presets/Preset.h"
#include "presets/WatchRule.h"

#include <QHash>
#include <QObject>
#include <QTimer>
#include <QUuid>

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Converts the new files of watched folders with their rule's preset into a "Converted"
// subfolder. A file counts as complete once two readings at least one scan interval apart find
// it non-empty and of the same size; it is then converted exactly once, from a copy, so that
// the original is never touched. Files already in a folder when its rule appears are left
// alone. Folders are read off the main thread (a slow network mount never stalls the
// application), conversions run a few at a time, and with no rules nothing runs at all.
// Main thread only.
class FolderWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int defaultInterval = 3000;
    // Partial downloads, by lower-case extension: never converted under these names.
    static const std::set<std::string>& partialExtensions();

    explicit FolderWatcher(int intervalMs = defaultInterval, int atOnce = defaultAtOnce(), QObject* parent = nullptr);
    ~FolderWatcher() override;

    // Reloads the rules and scans every interval while there are any; follows later changes of
    // the stored rules and presets, also those written by other processes.
    void start();
    // Brings the known names in line with the stored rules: a new rule (or a rule moved to
    // another folder) takes its folder's present files as known.
    void reload();
    // Reads the folders now, unless a reading is still under way.
    void scan();

    // Conversions waiting or running, and running.
    int pending() const { return static_cast<int>(queue_.size()) + running_; }
    int running() const { return running_; }
    bool scanning() const { return listing_ != nullptr; }
    bool timerActive() const { return timer_.isActive(); }
    static int defaultAtOnce();

    // One reading of the watched folders, taken on a thread of its own.
    struct Listing;

signals:
    // source was converted with the preset named presetName into destination.
    void converted(const QString& source, const QString& presetName, const QString& destination);
    void failed(const QString& source, const QString& message);
    // A reading of the folders has been taken into account.
    void scanned();

private:
    struct Seen {
        std::int64_t size = 0;
        std::chrono::steady_clock::time_point since;
    };
    struct Known {
        std::string folder;
        // None until the folder could be read for the first time.
        std::optional<std::set<std::string>> names;
    };
    struct Job {
        Path file;
        Path folder;
        Preset preset;
    };
    void applyListing(const Listing& listing);
    void consider(const WatchRule& rule, const Preset& preset, std::set<std::string>& names, const Path& file, std::int64_t size,
                  std::chrono::steady_clock::time_point at);
    void pump();
    void finished(const Job& job, const Path& destination, const std::string& failure);

    int interval_;
    int atOnce_;
    QTimer timer_;
    std::map<QUuid, Known> known_;
    std::map<std::string, Seen> lastSize_;
    std::deque<Job> queue_;
    int running_ = 0;
    // The reading under way, shared with the thread that takes it.
    std::shared_ptr<Listing> listing_;
    bool rescan_ = false;
};
