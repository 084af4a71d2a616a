#include "documents/Package.h"

#include "core/Errors.h"
#include "core/Files.h"
#include "core/Output.h"
#include "documents/Deflate.h"

#include <QString>
#include <QUuid>

#include <zip.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Package {

namespace {
// Every descriptor is opened close-on-exec, so that programs started meanwhile by other
// threads hold none of them. libzip is handed descriptors, never names, for that reason.
struct Descriptor {
    int fd;
    Descriptor(const Path& file, int flags) : fd(::open(file.c_str(), flags | O_CLOEXEC, 0644))
    {
        if (fd < 0) throw KError(Files::failure((flags & O_ACCMODE) == O_RDONLY ? "read" : "write", file, {errno, std::generic_category()}, (flags & O_ACCMODE) != O_RDONLY));
    }
    ~Descriptor()
    {
        if (fd >= 0) ::close(fd);
    }
    // Hands the descriptor to an owner that closes it.
    int release() { return std::exchange(fd, -1); }
};

void writeAll(const Descriptor& out, const Path& file, std::string_view bytes)
{
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(out.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw KError(Files::failure("write", file, {errno, std::generic_category()}, true));
        done += static_cast<std::size_t>(n);
    }
}

// The archive is written under a hidden name beside the destination and renamed onto it at
// the end: the reserved destination name stays taken meanwhile, and a failed run leaves no
// partial archive.
struct Partial {
    Path path;
    explicit Partial(const Path& destination)
        : path(destination.parent_path() / (".varnolt-" + QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString() + ".zip"))
    {
        Output::announce(Output::Event::reserved, path);
    }
    ~Partial() { Output::release(path); }
};

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using Entry = std::unique_ptr<zip_file_t, EntryCloser>;

// The open archive once the file is known to start like a zip archive; anything else,
// or a zip whose directory cannot be read, is damaged.
Archive openArchive(const Path& zip)
{
    const Path path = absoluteNormal(zip);
    Descriptor in(path, O_RDONLY);
    char signature[4] = {};
    const ssize_t got = ::read(in.fd, signature, sizeof signature);
    const std::string_view start(signature, got > 0 ? static_cast<std::size_t>(got) : 0);
    if (start != std::string_view("PK\3\4", 4) && start != std::string_view("PK\5\6", 4)) throw damaged(path);
    if (::lseek(in.fd, 0, SEEK_SET) != 0) throw damaged(path);
    int error = 0;
    zip_t* archive = zip_fdopen(in.fd, 0, &error);
    if (!archive) throw damaged(path);
    in.release();
    return Archive(archive);
}

Entry openEntry(zip_t* archive, const Path& zip, const std::string& name)
{
    const zip_int64_t index = zip_name_locate(archive, name.c_str(), ZIP_FL_ENC_RAW);
    if (index < 0) throw KError(zip.filename().string() + " has no part named " + name + ", so it is damaged or isn't a real ." + lowerExt(zip) + " file.");
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0);
    if (!file) throw damaged(zip);
    return Entry(file);
}

// The next piece of the entry, or 0 at its end; an entry that doesn't inflate is damaged.
std::size_t readPiece(zip_file_t* file, const Path& zip, char* buffer, std::size_t size)
{
    const zip_int64_t got = zip_fread(file, buffer, size);
    if (got < 0) throw damaged(zip);
    return static_cast<std::size_t>(got);
}

// Refuses names that would not unpack to a file inside a folder, and a name that is also the
// folder of another.
void checkNames(const Deflated& files)
{
    for (auto it = files.begin(); it != files.end(); ++it) {
        const std::string& name = it->first;
        bool plain = !name.empty() && !name.starts_with('/') && !name.ends_with('/');
        for (std::size_t start = 0; plain && start <= name.size();) {
            const std::size_t end = std::min(name.find('/', start), name.size());
            const std::string_view step(name.data() + start, end - start);
            plain = !step.empty() && step != "." && step != "..";
            start = end + 1;
        }
        const auto next = std::next(it);
        if (!plain || (next != files.end() && next->first.starts_with(name + "/"))) {
            throw std::invalid_argument("package entry name " + name);
        }
    }
}

// An entry deflated already, which the archive copies as it is.
struct DeflatedSource {
    Deflate::Compressed data;
    std::size_t compressedSize = 0;
    // Where reading has got to: a piece, and a place in it.
    std::size_t piece = 0, offset = 0;
    zip_error_t error{};
};

zip_int64_t deflatedSource(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto* entry = static_cast<DeflatedSource*>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        entry->piece = entry->offset = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        std::size_t n = 0;
        auto* out = static_cast<char*>(data);
        while (n < length && entry->piece < entry->data.pieces.size()) {
            const std::string& piece = entry->data.pieces[entry->piece];
            const std::size_t part = std::min<std::size_t>(length - n, piece.size() - entry->offset);
            std::memcpy(out + n, piece.data() + entry->offset, part);
            n += part;
            entry->offset += part;
            if (entry->offset == piece.size()) {
                ++entry->piece;
                entry->offset = 0;
            }
        }
        return static_cast<zip_int64_t>(n);
    }
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* stat = static_cast<zip_stat_t*>(data);
        zip_stat_init(stat);
        stat->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
        stat->size = entry->data.size;
        stat->comp_size = entry->compressedSize;
        stat->comp_method = ZIP_CM_DEFLATE;
        stat->crc = entry->data.crc;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&entry->error, data, length);
    case ZIP_SOURCE_FREE:
        delete entry;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        zip_error_set(&entry->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

void add(zip_t* archive, const std::string& name, zip_source_t* source)
{
    if (!source) throw std::bad_alloc();
    if (zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
        zip_source_free(source);
        throw std::runtime_error(zip_strerror(archive));
    }
}

// Stored as it is, uncompressed.
void addStored(zip_t* archive, const std::string& name, const std::string& text)
{
    zip_source_t* source = zip_source_buffer(archive, text.data(), text.size(), 0);
    add(archive, name, source);
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(zip_name_locate(archive, name.c_str(), ZIP_FL_ENC_RAW)), ZIP_CM_STORE, 0);
}

void addDeflated(zip_t* archive, const std::string& name, Deflate::Compressed data)
{
    auto entry = std::make_unique<DeflatedSource>();
    entry->data = std::move(data);
    for (const std::string& piece : entry->data.pieces) entry->compressedSize += piece.size();
    zip_error_init(&entry->error);
    zip_source_t* source = zip_source_function(archive, deflatedSource, entry.get());
    if (source) entry.release();
    add(archive, name, source);
}

// The archive, built in memory and then written to `file`.
void pack(Deflated& files, const std::optional<std::string>& mimetype, const Path& file)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* memory = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!memory) throw std::bad_alloc();
    // The archive releases the source when it closes; this reference keeps it to read back.
    zip_source_keep(memory);
    const std::unique_ptr<zip_source_t, decltype(&zip_source_free)> kept(memory, zip_source_free);
    zip_t* archive = zip_open_from_source(memory, ZIP_TRUNCATE, &error);
    if (!archive) {
        zip_source_free(memory);
        throw std::runtime_error(zip_error_strerror(&error));
    }
    Archive open(archive);
    if (mimetype) addStored(archive, "mimetype", *mimetype);
    for (auto& [name, data] : files) {
        if (!mimetype || name != "mimetype") addDeflated(archive, name, std::move(data));
    }
    if (zip_close(open.get()) != 0) throw std::runtime_error(zip_strerror(open.get()));
    open.release();

    if (zip_source_open(memory) != 0) throw std::runtime_error(zip_error_strerror(zip_source_error(memory)));
    const std::unique_ptr<zip_source_t, decltype(&zip_source_close)> reading(memory, zip_source_close);
    const Descriptor out(file, O_WRONLY | O_CREAT | O_TRUNC);
    // Copied out a stretch at a time through one buffer: a copy of the whole archive would
    // cost a page fault per page.
    constexpr std::size_t stretch = std::size_t(1) << 20;
    const std::unique_ptr<char[]> buffer(new char[stretch]);
    for (;;) {
        const zip_int64_t got = zip_source_read(memory, buffer.get(), stretch);
        if (got < 0) throw std::runtime_error(zip_error_strerror(zip_source_error(memory)));
        if (got == 0) break;
        writeAll(out, file, std::string_view(buffer.get(), static_cast<std::size_t>(got)));
    }
}

// Pieces inflated on one thread and consumed on another, a few at a time.
class Pipeline {
public:
    static constexpr std::size_t pieceSize = 256 * 1024;
    static constexpr std::size_t depth = 4;

    // Called by the inflating thread; false once the consumer has stopped.
    bool put(std::string piece)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return pieces_.size() < depth || stopped_; });
        if (stopped_) return false;
        pieces_.push_back(std::move(piece));
        changed_.notify_all();
        return true;
    }
    void end(std::exception_ptr failure)
    {
        const std::lock_guard lock(mutex_);
        ended_ = true;
        failure_ = failure;
        changed_.notify_all();
    }
    // A buffer to inflate into: one the consumer is done with, so that the same few buffers
    // carry the whole entry.
    std::string spare()
    {
        const std::lock_guard lock(mutex_);
        if (spares_.empty()) return {};
        std::string piece = std::move(spares_.back());
        spares_.pop_back();
        return piece;
    }
    void recycle(std::string piece)
    {
        const std::lock_guard lock(mutex_);
        spares_.push_back(std::move(piece));
    }
    // The next piece; none at the end, which rethrows the inflating thread's failure.
    std::optional<std::string> take()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return !pieces_.empty() || ended_; });
        if (pieces_.empty()) {
            if (failure_) std::rethrow_exception(failure_);
            return std::nullopt;
        }
        std::string piece = std::move(pieces_.front());
        pieces_.pop_front();
        changed_.notify_all();
        return piece;
    }
    void stop()
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> pieces_;
    std::vector<std::string> spares_;
    bool ended_ = false, stopped_ = false;
    std::exception_ptr failure_;
};
}

void write(const Entries& files, const std::optional<std::string>& mimetype, const Path& to, Compression compression)
{
    write(files, {}, mimetype, to, compression);
}

void write(const Entries& files, Deflated deflated, const std::optional<std::string>& mimetype, const Path& to, Compression compression)
{
    const int level = compression == Compression::fast ? 1 : 9;
    for (const auto& [name, text] : files) {
        if (mimetype && name == "mimetype") continue;
        if (deflated.contains(name)) throw std::invalid_argument("package entry name " + name + " given twice");
        deflated.emplace(name, Deflate::raw(text, level));
    }
    checkNames(deflated);
    const Path destination = absoluteNormal(to);
    Output::Pending pending(destination);
    Partial partial(destination);
    pack(deflated, mimetype, partial.path);
    if (fs::is_directory(fs::symlink_status(destination))) fs::remove_all(destination);
    Files::rename(partial.path, destination);
    pending.keep();
}

KError damaged(const Path& file)
{
    const std::string ext = lowerExt(file);
    return KError(file.filename().string() + " is damaged or isn't a real " + (ext.empty() ? "zip" : "." + ext) + " file.");
}

std::set<std::string> entryNames(const Path& zip)
{
    const Archive archive = openArchive(zip);
    std::set<std::string> names;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        if (const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW)) names.insert(name);
    }
    return names;
}

std::string read(const Path& zip, const std::string& entry)
{
    const Archive archive = openArchive(zip);
    const Entry file = openEntry(archive.get(), zip, entry);
    // The entry's own size is what its header claims; the ceiling counts what inflates.
    std::string bytes;
    char buffer[65536];
    while (const std::size_t got = readPiece(file.get(), zip, buffer, sizeof buffer)) {
        if (bytes.size() + got > maxEntryBytes) {
            throw KError(zip.filename().string() + " unpacks to more than " + std::to_string(maxEntryBytes >> 20) + " MB, so it wasn't opened (it may be a zip bomb).");
        }
        bytes.append(buffer, got);
    }
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

std::uint64_t statedSize(const Path& zip, const std::string& entry)
{
    const Archive archive = openArchive(zip);
    zip_stat_t stat;
    if (zip_stat(archive.get(), entry.c_str(), ZIP_FL_ENC_RAW, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) return 0;
    return stat.size;
}

void stream(const Path& zip, const std::string& entry, const std::function<void(std::string_view piece)>& consume)
{
    const Archive archive = openArchive(zip);
    const Entry file = openEntry(archive.get(), zip, entry);
    Pipeline pipeline;
    std::thread inflating([&] {
        std::exception_ptr failure;
        try {
            for (;;) {
                std::string piece = pipeline.spare();
                piece.resize(Pipeline::pieceSize);
                piece.resize(readPiece(file.get(), zip, piece.data(), piece.size()));
                if (piece.empty() || !pipeline.put(std::move(piece))) break;
            }
        } catch (...) {
            failure = std::current_exception();
        }
        pipeline.end(failure);
    });
    try {
        while (auto piece = pipeline.take()) {
            consume(*piece);
            pipeline.recycle(std::move(*piece));
        }
    } catch (...) {
        pipeline.stop();
        inflating.join();
        throw;
    }
    inflating.join();
}

}
