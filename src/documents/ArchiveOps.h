#pragma once
#include "core/Paths.h"

#include <string>

// Archives: zip unpacked by unzip, every other kind by libarchive in process; packed by the
// system's zip and tar. Results go where Output puts them, under free names; nothing is left
// behind when a run fails.
namespace ArchiveOps {
// Unpacks an archive next to its results: a single top-level folder comes out as itself,
// several items as a folder named after the archive, a single .gz, .bz2 or .xz as the file
// it holds. Refuses archives whose members would land outside their folder, are devices or
// pipes, or need a password, and archives that expand to more than the disk's free space.
Path extract(const Path& archive);
// Unpacks an archive and packs its contents again as "zip" or, for any other extension, as
// a gzip-compressed tar.
Path repack(const Path& archive, const std::string& ext);
// Packs the items ("zip" or "tar.gz") into one archive named after the single item, else
// "Archive"; items from different folders all land at the archive's top level.
Path compress(const Paths& items, const std::string& format);
}
