#include "documents/Package.h"

#include "core/Errors.h"
#include "core/Files.h"
#include "core/Output.h"
#include "core/Shell.h"

#include <QString>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <fcntl.h>
#include <set>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace Package {

namespace {
const Path zipProgram = "/usr/bin/zip";
const Path unzipProgram = "/usr/bin/unzip";

// zip reads a name that starts with "-" as an option; "./" keeps it a name.
std::string asName(const std::string& name)
{
    return name.starts_with("-") ? "./" + name : name;
}

// Every descriptor is opened close-on-exec, so that programs started meanwhile by other
// threads hold none of them.
struct Descriptor {
    int fd;
    Descriptor(const Path& file, int flags) : fd(::open(file.c_str(), flags | O_CLOEXEC, 0644))
    {
        if (fd < 0) throw KError(Files::failure((flags & O_ACCMODE) == O_RDONLY ? "read" : "write", file, {errno, std::generic_category()}, (flags & O_ACCMODE) != O_RDONLY));
    }
    ~Descriptor() { ::close(fd); }
};

void stage(const Path& folder, const std::string& name, const std::string& text)
{
    const Path file = folder / name;
    Files::createFolders(file.parent_path());
    const Descriptor out(file, O_WRONLY | O_CREAT | O_TRUNC);
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(out.fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw KError(Files::failure("write", file, {errno, std::generic_category()}, true));
        done += static_cast<std::size_t>(n);
    }
}

// The archive is built under a hidden name beside the destination and renamed onto it at the
// end: the reserved destination name stays taken while zip works, and a failed run leaves
// no partial archive. The name ends in ".zip" because zip appends that to names without one.
struct Partial {
    Path path;
    explicit Partial(const Path& destination)
        : path(destination.parent_path() / (".varnolt-" + QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString() + ".zip"))
    {
        // zip creates it; a fresh random name is nobody else's, so it counts as ours already.
        Output::announce(Output::Event::reserved, path);
    }
    ~Partial()
    {
        std::error_code ec;
        fs::remove(path, ec);
        Output::announce(Output::Event::released, path);
    }
};

// The file's absolute path once it is known to start like a zip archive. unzip's own
// complaint about anything else is a paragraph on multi-part archives; this says what is wrong.
Path zipArchive(const Path& zip)
{
    const Path path = absoluteNormal(zip);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw KError("Couldn't open " + path.filename().string() + ": " + std::generic_category().message(errno));
    char signature[4] = {};
    const ssize_t got = ::read(fd, signature, sizeof signature);
    ::close(fd);
    const std::string_view start(signature, got > 0 ? static_cast<std::size_t>(got) : 0);
    if (start != std::string_view("PK\3\4", 4) && start != std::string_view("PK\5\6", 4)) throw damaged(path);
    return path;
}

// unzip reads its member arguments as patterns, and one starting with "-" as an option;
// a backslash makes each of those characters literal.
std::string memberPattern(const std::string& entry)
{
    std::string escaped;
    for (char c : entry) {
        if (c == '[' || c == ']' || c == '*' || c == '?') escaped += '\\';
        escaped += c;
    }
    return escaped.starts_with("-") ? "\\" + escaped : escaped;
}
}

void write(const Entries& files, const std::optional<std::string>& mimetype, const Path& to, Compression compression)
{
    const bool fast = compression == Compression::fast;
    const Path destination = absoluteNormal(to);
    Output::Pending pending(destination);
    Output::ScratchDir staging;
    for (const auto& [name, text] : files) {
        if (!mimetype || name != "mimetype") stage(staging.path(), name, text);
    }
    if (mimetype) stage(staging.path(), "mimetype", *mimetype);

    Partial partial(destination);
    if (mimetype) {
        Shell::run(zipProgram, {"-q", "-X", "-0", partial.path.string(), "mimetype"}, staging.path());
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(staging.path())) {
            if (entry.path().filename() != "mimetype") names.push_back(asName(entry.path().filename().string()));
        }
        if (!names.empty()) {
            std::sort(names.begin(), names.end());
            std::vector<std::string> args = {"-q", "-X", "-r", fast ? "-1" : "-9", partial.path.string()};
            args.insert(args.end(), names.begin(), names.end());
            Shell::run(zipProgram, args, staging.path());
        }
    } else {
        std::vector<std::string> args = {"-q", "-X", "-r", partial.path.string()};
        if (fast) args.insert(args.begin() + 3, "-1");
        std::set<std::string> seen;
        for (const auto& entry : files) {
            const std::string top = entry.first.substr(0, entry.first.find('/'));
            if (seen.insert(top).second) args.push_back(asName(top));
        }
        Shell::run(zipProgram, args, staging.path());
    }
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
    const Path path = zipArchive(zip);
    std::string listing;
    try {
        listing = Shell::run(unzipProgram, {"-Z1", path.string()});
    } catch (const KError&) {
        throw damaged(path);
    }
    std::set<std::string> names;
    for (std::size_t start = 0; start < listing.size();) {
        const std::size_t end = std::min(listing.find('\n', start), listing.size());
        if (end > start) names.insert(listing.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string read(const Path& zip, const std::string& entry)
{
    // Read through the pipe with a ceiling: unzip stops as soon as the reader does.
    std::string bytes;
    stream(zip, entry, [&](const Path& pipe) {
        const Descriptor in(pipe, O_RDONLY);
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(in.fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            if (bytes.size() + std::size_t(got) > maxEntryBytes) {
                throw KError(zip.filename().string() + " unpacks to more than " + std::to_string(maxEntryBytes >> 20) + " MB, so it wasn't opened (it may be a zip bomb).");
            }
            bytes.append(buffer, std::size_t(got));
        }
    });
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

void stream(const Path& zip, const std::string& entry, const std::function<void(const Path& bytes)>& consume)
{
    const std::vector<std::string> args = {"-p", zipArchive(zip).string(), memberPattern(entry)};
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    const int readEnd = fds[0];
    const auto proc = [](int fd) { return Path("/proc/self/fd") / std::to_string(fd); };
    // unzip writes into the pipe through its /proc name. The thread holds the pipe's first
    // write end until unzip has ended, so that the reader meets the end of the data only then,
    // also when unzip could not even start.
    std::exception_ptr extraction;
    std::thread unzip;
    try {
        unzip = std::thread([&, writeEnd = fds[1]] {
            try {
                Shell::run(unzipProgram, args, std::nullopt, proc(writeEnd));
            } catch (...) {
                extraction = std::current_exception();
            }
            ::close(writeEnd);
        });
    } catch (...) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw;
    }
    try {
        consume(proc(readEnd));
        // Whatever the reader left is drained, so that unzip finishes and its verdict stands.
        char sink[65536];
        for (ssize_t n = 1; n > 0 || (n < 0 && errno == EINTR);) n = ::read(readEnd, sink, sizeof sink);
    } catch (...) {
        // Closing the pipe ends unzip early; the reader's failure is the one reported.
        ::close(readEnd);
        unzip.join();
        throw;
    }
    ::close(readEnd);
    unzip.join();
    if (extraction) std::rethrow_exception(extraction);
}

}
