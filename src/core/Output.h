#pragma once
#include "core/Paths.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// Where outputs go and what they are called. Every name handed out is reserved at once: an
// empty placeholder file (or an empty folder when ext is empty) is created exclusively, so
// two runs asking at the same moment never get the same name. Writers write over the
// placeholder; Output::Pending removes it again when the writer fails.
namespace Output {
Path directory(const Path& source);
// What a reservation creates: an empty file, or an empty folder.
enum class Item { file, folder };

// Reserves the first free "<stem>[ (<suffix>)][ N][.ext]" in directory(source). An empty
// ext reserves a folder unless item says otherwise.
Path url(const Path& source, const std::string& ext, const std::string& suffix = {},
         std::optional<Item> item = std::nullopt);
// Reserves the first free "<name>[ N][.ext]" in folder.
Path unique(const Path& folder, const std::string& name, const std::string& ext,
            std::optional<Item> item = std::nullopt);
// Reserves the output for source as url() does, hands its path to write and keeps what write
// made there; when write throws, the reserved name is removed again and the error passed on.
Path produce(const Path& source, const std::string& ext, const std::string& suffix,
             const std::function<void(const Path& to)>& write);
// A new, empty "Varnolt-<UUID>" scratch folder under the temporary folder; throws on failure.
Path tempDirectory();
std::int64_t size(const Path& url);

// What happens to a name the process created for its outputs. A job process tells the
// application each of these as it happens, so that a job that dies leaves nothing behind.
enum class Event { reserved, kept, released };
using Watcher = std::function<void(Event, const Path&)>;
// Installs the one process-wide watcher (none by default); called from any thread.
void watch(Watcher watcher);
// Tells the watcher. reserved only ever follows the exclusive creation of the name, never
// precedes it: whoever cleans up after a dead job must never remove a file it did not make.
void announce(Event event, const Path& path);

// Batches run several files at once and still hand out names as a one-at-a-time run would:
// the first reservation made on a thread inside a TurnScope waits for turn.await() and calls
// turn.pass() once it holds its name; later reservations go ahead.
class Turn {
public:
    virtual void await() = 0;
    virtual void pass() = 0;

protected:
    ~Turn() = default;
};
class TurnScope {
public:
    explicit TurnScope(Turn& turn);
    ~TurnScope();
    TurnScope(const TurnScope&) = delete;
    TurnScope& operator=(const TurnScope&) = delete;

private:
    Turn* outer_;
};

// Removes whatever is at path and tells the watcher that the name is free again.
void release(const Path& path);

// Guards a reserved output: removes whatever is at the path on destruction unless keep()
// was called, so that a failed write leaves nothing behind.
class Pending {
public:
    explicit Pending(Path path) : path_(std::move(path)) {}
    Pending(const Pending&) = delete;
    Pending& operator=(const Pending&) = delete;
    ~Pending();
    const Path& path() const { return path_; }
    // Marks the output as complete and hands its path back.
    Path keep();

private:
    Path path_;
    bool kept_ = false;
};

// Removes a scratch folder and everything in it when it goes out of scope.
class ScratchDir {
public:
    ScratchDir() : path_(tempDirectory()) {}
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    ~ScratchDir();
    const Path& path() const { return path_; }

private:
    Path path_;
};
}
