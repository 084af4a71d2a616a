#pragma once
#include "core/Paths.h"

// Archives unpacked in process by libarchive: tar with any compression, 7z, rar, cpio, xar,
// and single compressed files. Every member is judged before anything is written for it, so a
// hostile archive is refused with nothing of it on disk but what came before (and the caller's
// staging folder goes with that).
namespace ArchiveReader {
// Unpacks archive into the empty folder `into`. Files keep their permissions but never the
// set-user-ID, set-group-ID or sticky bits, and never their owners. Throws KError
// "<name> wasn't extracted: …" when a member would land outside the folder, is a device or a
// pipe, or is protected by a password, when the contents outgrow the free space of the disk,
// or when the archive is damaged.
void extract(const Path& archive, const Path& into);
// Decompresses a single gzip, bzip2 or xz file (by its extension) into the file `to` (made
// when missing), with
// the same check of free space; data after the compressed stream is ignored, as gzip does.
void decompress(const Path& file, const Path& to);
}
