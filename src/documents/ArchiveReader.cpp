#include "documents/ArchiveReader.h"

#include "core/Errors.h"
#include "core/Progress.h"
#include "documents/ArchiveMembers.h"

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <limits.h>
#include <memory>
#include <optional>
#include <unistd.h>

namespace ArchiveReader {

namespace {
using ArchivePtr = std::unique_ptr<archive, int (*)(archive*)>;
using ArchiveMembers::refused;

// libarchive converts member names to the thread's character set; file names are UTF-8 here
// whatever the locale the program started in. Only this thread's locale changes.
class Utf8Names {
public:
    Utf8Names() : utf8_(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr)))
    {
        if (utf8_) previous_ = uselocale(utf8_);
    }
    ~Utf8Names()
    {
        if (!utf8_) return;
        uselocale(previous_);
        freelocale(utf8_);
    }
    Utf8Names(const Utf8Names&) = delete;
    Utf8Names& operator=(const Utf8Names&) = delete;

private:
    locale_t utf8_;
    locale_t previous_ = LC_GLOBAL_LOCALE;
};

// Counts what an archive writes against the free space found before it started: a few
// kilobytes of archive can expand to more than any disk holds.
class Space {
public:
    Space(const Path& archive, const Path& folder) : archive_(archive), free_(ArchiveMembers::freeSpace(folder)) {}
    void add(std::int64_t bytes)
    {
        expect(bytes);
        used_ += bytes;
    }
    // Throws when bytes more would not fit, without counting them.
    void expect(std::int64_t bytes) const
    {
        if (ArchiveMembers::addSize(used_, bytes) > free_) throw KError(ArchiveMembers::tooLarge(archive_, free_));
    }

private:
    const Path& archive_;
    std::int64_t free_;
    std::int64_t used_ = 0;
};

ArchivePtr openReader(const Path& file, const std::function<void(archive*)>& support)
{
    ArchivePtr reader(archive_read_new(), archive_read_free);
    support(reader.get());
    if (archive_read_open_filename(reader.get(), file.c_str(), 1 << 16) != ARCHIVE_OK) {
        const int code = archive_errno(reader.get());
        if (code == ENOENT || code == EACCES || code == EPERM || code == EISDIR || code == EIO) throw KError(refused(file, std::strerror(code)));
        throw KError(refused(file, "it isn't an archive, or it is damaged"));
    }
    return reader;
}

[[noreturn]] void damaged(const Path& file, archive* reader)
{
    const char* why = archive_error_string(reader);
    throw KError(refused(file, std::string("it is damaged (") + (why ? why : "unreadable") + ")"));
}

// A failure to write: the system's words (the disk is full, the folder is read-only), not
// libarchive's sentence with the hidden staging path in it.
[[noreturn]] void unwritable(const Path& file, archive* writer)
{
    const int code = archive_errno(writer);
    const char* why = archive_error_string(writer);
    throw KError(refused(file, code > 0 ? std::strerror(code) : why ? why : "it couldn't be written"));
}

// Reports the fraction of the compressed file read so far, in steps of a percent.
class ReadProgress {
public:
    explicit ReadProgress(const Path& file)
    {
        std::error_code ec;
        total_ = static_cast<double>(std::filesystem::file_size(file, ec));
    }
    void update(archive* reader)
    {
        if (total_ <= 0) return;
        const double fraction = double(archive_filter_bytes(reader, -1)) / total_;
        if (fraction < reported_ + 0.01) return;
        reported_ = fraction;
        Progress::report(fraction);
    }

private:
    double total_ = 0;
    double reported_ = 0;
};

// Why a member cannot be written, or nothing when it may be.
std::optional<std::string> refusal(archive_entry* entry, ArchiveMembers::Escapes& escapes)
{
    const char* name = archive_entry_pathname(entry);
    if (!name) return std::string("one of its items has a name that can't be read");
    if (archive_entry_is_encrypted(entry)) return std::string("it is protected by a password");
    const mode_t type = archive_entry_filetype(entry);
    const char* hardlink = archive_entry_hardlink(entry);
    const char* symlink = archive_entry_symlink(entry);
    char letter = '-';
    if (hardlink) letter = 'h';
    else if (type == AE_IFLNK) letter = 'l';
    else if (type == AE_IFDIR) letter = 'd';
    else if (type != AE_IFREG) return ArchiveMembers::item(name, "is a device or a pipe");
    const ArchiveMembers::Member member{letter, name, hardlink ? hardlink : symlink ? symlink : "", 0, false};
    if (escapes.leaves(member)) return ArchiveMembers::item(name, "would land outside the extraction folder");
    return std::nullopt;
}

// Points the member at its place inside `into`, by absolute path: libarchive would otherwise
// resolve names against the process's working folder, which other threads share. False for
// the folder itself, which exists already.
bool place(archive_entry* entry, const Path& archivePath, const Path& into)
{
    const std::string name = archive_entry_pathname(entry);
    const std::string inside = *ArchiveMembers::insidePath(name);
    if (inside.empty()) return false;
    const Path target = into / inside;
    // Longer paths make libarchive change the working folder while it creates them.
    if (target.native().size() >= PATH_MAX) {
        throw KError(refused(archivePath, ArchiveMembers::item(name, "has a path too long for this system")));
    }
    archive_entry_copy_pathname(entry, target.c_str());
    if (const char* hardlink = archive_entry_hardlink(entry)) {
        archive_entry_copy_hardlink(entry, (into / *ArchiveMembers::insidePath(hardlink)).c_str());
    }
    archive_entry_set_perm(entry, archive_entry_perm(entry) & 0777);
    return true;
}
}

void extract(const Path& archivePath, const Path& folder)
{
    // libarchive refuses to write through any symbolic link on the way, even one above the
    // folder (a Downloads folder that links to another disk).
    const Path into = std::filesystem::canonical(folder);
    const Utf8Names names;
    const ArchivePtr reader = openReader(archivePath, [](archive* a) {
        archive_read_support_filter_all(a);
        archive_read_support_format_all(a);
    });
    const ArchivePtr writer(archive_write_disk_new(), archive_write_free);
    // Modes without set-ID bits and with the user's umask, no owners, no extended attributes.
    // No owner lookup either: owners are never restored, and its caches outlive a writer that
    // has failed.
    archive_write_disk_set_options(writer.get(), ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_SECURE_NODOTDOT | ARCHIVE_EXTRACT_SECURE_SYMLINKS);

    ReadProgress progress(archivePath);
    Space space(archivePath, into);
    ArchiveMembers::Escapes escapes;
    archive_entry* entry = nullptr;
    for (;;) {
        const int status = archive_read_next_header(reader.get(), &entry);
        if (status == ARCHIVE_EOF) break;
        if (status < ARCHIVE_WARN) damaged(archivePath, reader.get());
        if (const auto why = refusal(entry, escapes)) throw KError(refused(archivePath, *why));
        if (archive_entry_size_is_set(entry)) space.expect(archive_entry_size(entry));
        if (!place(entry, archivePath, into)) continue;
        if (archive_write_header(writer.get(), entry) < ARCHIVE_WARN) unwritable(archivePath, writer.get());
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        for (;;) {
            const int read = archive_read_data_block(reader.get(), &block, &size, &offset);
            if (read == ARCHIVE_EOF) break;
            if (read < ARCHIVE_WARN) {
                if (archive_entry_is_encrypted(entry) || archive_read_has_encrypted_entries(reader.get()) > 0) {
                    throw KError(refused(archivePath, "it is protected by a password"));
                }
                damaged(archivePath, reader.get());
            }
            space.add(static_cast<std::int64_t>(size));
            if (archive_write_data_block(writer.get(), block, size, offset) < ARCHIVE_WARN) unwritable(archivePath, writer.get());
            progress.update(reader.get());
        }
        if (archive_write_finish_entry(writer.get()) < ARCHIVE_WARN) unwritable(archivePath, writer.get());
    }
    // Folders get their final modes and times once everything inside them is written.
    if (archive_write_close(writer.get()) < ARCHIVE_WARN) unwritable(archivePath, writer.get());
}

void decompress(const Path& file, const Path& to)
{
    const std::string ext = lowerExt(file);
    const int filter = ext == "gz" ? ARCHIVE_FILTER_GZIP : ext == "bz2" ? ARCHIVE_FILTER_BZIP2 : ARCHIVE_FILTER_XZ;
    const ArchivePtr reader = openReader(file, [filter](archive* a) {
        if (filter == ARCHIVE_FILTER_GZIP) archive_read_support_filter_gzip(a);
        else if (filter == ARCHIVE_FILTER_BZIP2) archive_read_support_filter_bzip2(a);
        else archive_read_support_filter_xz(a);
        archive_read_support_format_raw(a);
    });
    archive_entry* entry = nullptr;
    if (archive_read_next_header(reader.get(), &entry) < ARCHIVE_WARN) damaged(file, reader.get());
    // Without its compression the "raw" reader would copy any file as it is.
    if (archive_filter_code(reader.get(), 0) != filter) throw KError(refused(file, "it isn't a ." + ext + " file, or it is damaged"));

    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) throw KError(refused(file, std::strerror(errno)));
    const std::unique_ptr<int, void (*)(int*)> closer(new int(out), [](int* d) {
        ::close(*d);
        delete d;
    });
    ReadProgress progress(file);
    Space space(file, to.parent_path());
    char buffer[1 << 16];
    for (;;) {
        const la_ssize_t got = archive_read_data(reader.get(), buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0) damaged(file, reader.get());
        space.add(got);
        for (la_ssize_t done = 0; done < got;) {
            const ssize_t written = ::write(out, buffer + done, static_cast<size_t>(got - done));
            if (written < 0 && errno == EINTR) continue;
            if (written < 0) throw KError(refused(file, std::strerror(errno)));
            done += written;
        }
        progress.update(reader.get());
    }
}

}
