#include "documents/ArchiveOps.h"

#include "core/Errors.h"
#include "core/FileKind.h"
#include "core/Files.h"
#include "core/Output.h"
#include "core/Shell.h"
#include "documents/ArchiveMembers.h"
#include "documents/ArchiveReader.h"

#include <QUuid>

#include <algorithm>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace ArchiveOps {

namespace {
const Path zipProgram = "/usr/bin/zip";
const Path unzipProgram = "/usr/bin/unzip";
const Path tarProgram = "/usr/bin/tar";

// A single compressed file (notes.txt.gz, log.xz), as opposed to a compressed tar.
bool isSingleCompressed(const Path& url)
{
    const std::string ext = lowerExt(url);
    return (ext == "gz" || ext == "bz2" || ext == "xz") && lowerExt(url.stem()) != "tar";
}

// The name a single compressed file had before it was compressed.
Path decompressedName(const Path& source)
{
    return source.stem();
}

// Removes a tree, first making its folders writable: archives may hold read-only folders.
void removeTree(const Path& root)
{
    std::error_code ec;
    fs::remove_all(root, ec);
    if (!ec) return;
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ec);
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ignored;
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(root, ec);
}

// A hidden working folder, removed with everything in it on every path.
class Staging {
public:
    explicit Staging(Path path) : path_(std::move(path))
    {
        Files::createFolders(path_);
        Output::announce(Output::Event::reserved, path_);
    }
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;
    ~Staging()
    {
        removeTree(path_);
        Output::announce(Output::Event::released, path_);
    }
    const Path& path() const { return path_; }
    // Where an archive's members are unpacked.
    Path content() const { return path_ / "content"; }

private:
    Path path_;
};

Path hiddenIn(const Path& folder)
{
    return folder / (".varnolt-" + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toStdString());
}

std::string readAll(const Path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

// unzip writes what its listing promised; the listing decides whether it may.
void refuseZip(const Path& archive, const Path& folder, const ArchiveMembers::Members& members)
{
    using ArchiveMembers::refused;
    if (auto member = ArchiveMembers::firstEscaping(members)) {
        throw KError(refused(archive, ArchiveMembers::item(*member, "would land outside the extraction folder")));
    }
    std::int64_t size = 0;
    for (const ArchiveMembers::Member& member : members) {
        // unzip would stop to ask for the password, with no one to answer.
        if (member.encrypted) throw KError(refused(archive, "it is protected by a password"));
        size += member.size;
    }
    if (const std::int64_t free = ArchiveMembers::freeSpace(folder); size > free) throw KError(ArchiveMembers::tooLarge(archive, free));
}

// zip and unzip would read a name that starts with "-" as an option.
std::string zipName(const std::string& name)
{
    return name.starts_with('-') ? "./" + name : name;
}

void unzipInto(const Path& archive, const Staging& staging)
{
    // unzip expands wildcards in an archive's name and cannot escape them: it reads a link
    // whose name has none, beside the content, so that its messages still name the archive.
    std::string name = archive.filename().string();
    std::replace_if(name.begin(), name.end(), [](char c) { return c == '*' || c == '?' || c == '[' || c == ']'; }, '_');
    Files::symlink(archive, staging.path() / name);
    const std::string arg = zipName(name);
    // The listing goes to a file: unzip writes it in many small pieces.
    const Path listing = staging.path() / "members";
    Shell::run(unzipProgram, {"-Z", "-s", arg, "*"}, staging.path(), listing);
    refuseZip(archive, staging.path(), ArchiveMembers::fromZipListing(readAll(listing)));
    Shell::run(unzipProgram, {"-q", "-n", arg, "-d", staging.content().string()}, staging.path());
}

// Zip archives go through unzip, as every zip package does; the others through libarchive,
// and a single compressed file comes out as the one file it holds.
void unpack(const Path& archive, const Staging& staging)
{
    Files::createFolders(staging.content());
    if (lowerExt(archive) == "zip") unzipInto(archive, staging);
    else if (isSingleCompressed(archive)) ArchiveReader::decompress(archive, staging.content() / decompressedName(archive));
    else ArchiveReader::extract(archive, staging.content());
}

std::vector<std::string> topNames(const Path& folder, const std::set<std::string>& skipped)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (!skipped.count(name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Moves a finished result onto the name reserved for it.
Path moveOnto(const Path& from, const Path& reserved)
{
    Output::Pending pending(reserved);
    Files::rename(from, reserved);
    return pending.keep();
}

void zipInto(const Path& destination, const Path& folder, const std::vector<std::string>& names, const std::vector<std::string>& trailing)
{
    // zip refuses to add to the empty file that reserves the name: it writes next to it
    // and the result replaces the reservation.
    Staging staging(hiddenIn(destination.parent_path()));
    const Path written = staging.path() / destination.filename();
    std::vector<std::string> args = {"-q", "-r", "-y", written.string()};
    for (const std::string& name : names) args.push_back(zipName(name));
    args.insert(args.end(), trailing.begin(), trailing.end());
    Shell::run(zipProgram, args, folder);
    Files::rename(written, destination);
}

void tarInto(const Path& destination, const Path& folder, const std::vector<std::string>& names, const std::vector<std::string>& leading)
{
    std::vector<std::string> args = leading;
    args.insert(args.end(), {"-czf", destination.string(), "-C", folder.string(), "--"});
    args.insert(args.end(), names.begin(), names.end());
    Shell::run(tarProgram, args);
}

Path decompress(const Path& source)
{
    const Path inner = decompressedName(source);
    const std::string ext = inner.extension().empty() ? std::string{} : inner.extension().string().substr(1);
    const std::string name = ext.empty() ? inner.string() : inner.stem().string();
    Output::Pending result(Output::unique(Output::directory(source), name, ext, Output::Item::file));
    ArchiveReader::decompress(source, result.path());
    return result.keep();
}

bool isPlainFolder(const Path& item)
{
    std::error_code ec;
    return fs::is_directory(fs::symlink_status(item, ec)) && FileKinds::of(item) == FileKind::folder;
}

// Copies items from several folders side by side into one folder.
void gather(const Paths& items, const Path& into)
{
    Files::createFolders(into);
    for (const Path& item : items) {
        const Path target = into / item.filename();
        if (fs::exists(fs::symlink_status(target))) {
            throw KError("Two items are named " + item.filename().string() + " — rename one to pack them together");
        }
        Files::copy(item, target, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    }
}
}

Path extract(const Path& archive)
{
    const Path source = absoluteNormal(archive);
    if (isSingleCompressed(source)) return decompress(source);

    const Path folder = Output::directory(source);
    Staging staging(hiddenIn(folder));
    unpack(source, staging);
    std::error_code ignored;
    for (const char* junk : {"__MACOSX", ".DS_Store"}) fs::remove_all(staging.content() / junk, ignored);

    Paths items;
    for (fs::directory_iterator it(staging.content(), ignored), end; !ignored && it != end; it.increment(ignored)) items.push_back(it->path());
    if (items.size() == 1 && isPlainFolder(items.front())) {
        return moveOnto(items.front(), Output::unique(folder, items.front().filename().string(), "", Output::Item::folder));
    }
    return moveOnto(staging.content(), Output::url(source, "", "", Output::Item::folder));
}

Path repack(const Path& archive, const std::string& ext)
{
    const Path source = absoluteNormal(archive);
    Staging scratch(Output::tempDirectory());
    unpack(source, scratch);
    const std::vector<std::string> names = topNames(scratch.content(), {"__MACOSX"});

    return Output::produce(source, ext, "", [&](const Path& to) {
        if (ext == "zip") zipInto(to, scratch.content(), names, {});
        else tarInto(to, scratch.content(), names, {});
    });
}

Path compress(const Paths& items, const std::string& format)
{
    Paths sources;
    for (const Path& item : items) {
        const Path source = absoluteNormal(item);
        if (std::find(sources.begin(), sources.end(), source) == sources.end()) sources.push_back(source);
    }
    if (sources.empty()) throw KError("There is nothing to compress");
    const Path& first = sources.front();
    Output::Pending archive(sources.size() == 1 ? Output::url(first, format)
                                                : Output::unique(Output::directory(first), "Archive", format));

    std::set<Path> parents;
    std::vector<std::string> names;
    for (const Path& source : sources) {
        parents.insert(source.parent_path());
        names.push_back(source.filename().string());
    }
    std::optional<Staging> gathered;
    Path working = first.parent_path();
    if (parents.size() > 1) {
        gathered.emplace(Output::tempDirectory());
        working = gathered->content();
        gather(sources, working);
    }

    // Only files named exactly ".DS_Store", at any depth; "x.DS_Store" is a user's file.
    if (format == "zip") zipInto(archive.path(), working, names, {"-x", ".DS_Store", "*/.DS_Store"});
    else tarInto(archive.path(), working, names, {"--exclude", ".DS_Store"});
    return archive.keep();
}

}
