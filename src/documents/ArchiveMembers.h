#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The member lists that tar and unzip print, read back so that an archive whose members
// would land outside their extraction folder is refused with a clear message.
namespace ArchiveMembers {
struct Member {
    // The type letter of the listing: '-' file, 'd' folder, 'l' symbolic link, 'h' hard link.
    char type = '-';
    std::string name;
    // The target of a symbolic or hard link.
    std::string link;
};
using Members = std::vector<Member>;

// GNU tar's long listing ("tar -tv" or "tar -xvv") written with --quoting-style=c.
Members fromTarListing(std::string_view text);
// unzip's short listing ("unzip -Z -s archive '*'"); control characters arrive as "^J".
Members fromZipListing(std::string_view text);
// The first member, in archive order, that is absolute, climbs out with "..", or is written
// through a symbolic link of the same archive; nothing when every member stays inside.
std::optional<std::string> firstEscaping(const Members& members);
}
