#pragma once
#include "core/Errors.h"
#include "core/Paths.h"
#include "documents/Deflate.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

// Zip packages of text entries (ODS, EPUB, XLSX), packed and unpacked in process by libzip.
namespace Package {
// Entry path ("META-INF/container.xml") to its UTF-8 text.
using Entries = std::map<std::string, std::string>;

// How hard the entries are deflated: `standard` (the highest level) or `fast` (level 1) for
// large generated parts, where deflating at the higher levels takes several times longer for
// about a fifth fewer bytes.
enum class Compression { standard, fast };

// Writes the entries to `to`, replacing whatever is there. With a media type, "mimetype" is
// the first entry, stored uncompressed. A failed write leaves nothing at `to`. Entry names are
// relative paths without "." or ".." steps, and none is the folder of another; anything else is
// refused.
void write(const Entries& files, const std::optional<std::string>& mimetype, const Path& to,
           Compression compression = Compression::standard);
// Entry path to its text deflated already: large parts compressed while they were made.
using Deflated = std::map<std::string, Deflate::Compressed>;
// The same with some entries deflated already; an entry path given twice is refused.
void write(const Entries& files, Deflated deflated, const std::optional<std::string>& mimetype, const Path& to,
           Compression compression = Compression::standard);
// The names of the entries; throws `damaged` when the file is no readable zip.
std::set<std::string> entryNames(const Path& zip);
// The most an entry may unpack to when it is read whole: far above any real document part,
// and small enough that a zip bomb cannot exhaust memory.
inline constexpr std::size_t maxEntryBytes = std::size_t(256) << 20;
// The text of one entry of any zip file (malformed UTF-8 replaced); throws KError when the
// file is missing or not a zip, has no such entry, or the entry unpacks to more than
// maxEntryBytes.
std::string read(const Path& zip, const std::string& entry);
// Hands `consume` the entry's bytes piece by piece, in order, as they are inflated on another
// thread: reading overlaps inflating and nothing large is held. Throws KError as read does
// (but has no size ceiling: the reader sets its own), and what consume throws.
void stream(const Path& zip, const std::string& entry, const std::function<void(std::string_view piece)>& consume);
// What the entry's header says it inflates to: for planning work, never for limits.
std::uint64_t statedSize(const Path& zip, const std::string& entry);
// "book.xlsx is damaged or isn't a real .xlsx file.": for a package, or a part of it, that
// cannot be read whole.
KError damaged(const Path& file);
}
