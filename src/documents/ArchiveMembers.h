#pragma once
#include "core/Paths.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// The members of an archive as far as safety goes: unzip's listing read back, and the rule
// that refuses an archive whose members would land outside their extraction folder.
namespace ArchiveMembers {
struct Member {
    // '-' file, 'd' folder, 'l' symbolic link, 'h' hard link; other letters for special files.
    char type = '-';
    std::string name;
    // The target of a symbolic or hard link.
    std::string link;
    // The size the member expands to.
    std::int64_t size = 0;
    bool encrypted = false;
};
using Members = std::vector<Member>;

// unzip's short listing ("unzip -Z -s archive '*'"); control characters arrive as "^J".
Members fromZipListing(std::string_view text);

// A member's path inside its folder, without empty and "." pieces ("" for the folder itself);
// none when the path is absolute or climbs out with "..".
std::optional<std::string> insidePath(const std::string& name);

// Follows the members in archive order.
class Escapes {
public:
    // Whether this member, after the ones already seen, is absolute, climbs out with "..", or
    // is written through a symbolic link of the same archive.
    bool leaves(const Member& member);

private:
    std::set<std::string> links_;
};
// The first member that leaves; nothing when every member stays inside.
std::optional<std::string> firstEscaping(const Members& members);

// "<archive> wasn't extracted: <reason>", the words of every refusal.
std::string refused(const Path& archive, const std::string& reason);
// "its item "<name>" <what>", the member's control characters shown as "?".
std::string item(std::string name, const std::string& what);
// total + size for the sizes an archive declares: a negative size adds nothing, and a sum
// past what int64 holds stays at its largest value, more than any disk has free.
std::int64_t addSize(std::int64_t total, std::int64_t size);
// Bytes that may still be written to the disk that holds folder.
std::int64_t freeSpace(const Path& folder);
// The refusal of an archive that expands to more than `free` bytes.
std::string tooLarge(const Path& archive, std::int64_t free);
}
