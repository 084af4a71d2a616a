#include "documents/ArchiveMembers.h"

#include <QLocale>

#include <climits>
#include <sys/statvfs.h>

namespace ArchiveMembers {

namespace {
std::vector<std::string_view> lines(std::string_view text)
{
    std::vector<std::string_view> result;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        result.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

// The parts of a member path without empty and "." pieces; nothing when the path is
// absolute or climbs with "..".
std::optional<std::vector<std::string>> insideParts(const std::string& name)
{
    if (name.starts_with('/')) return std::nullopt;
    std::vector<std::string> parts;
    for (size_t start = 0; start <= name.size();) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        const std::string part = name.substr(start, end - start);
        if (part == "..") return std::nullopt;
        if (!part.empty() && part != ".") parts.push_back(part);
        start = end + 1;
    }
    return parts;
}

// The first count parts joined with "/".
std::string joined(const std::vector<std::string>& parts, size_t count)
{
    std::string path;
    for (size_t i = 0; i < count; ++i) path += (i == 0 ? "" : "/") + parts[i];
    return path;
}
}

Members fromZipListing(std::string_view text)
{
    // Eight columns (mode, version, system, size, kind, method, date, time), then the name. The
    // kind ("tx", "bx") is in capitals for an encrypted member.
    Members members;
    for (std::string_view line : lines(text)) {
        size_t pos = 0;
        std::string_view columns[8];
        for (int column = 0; column < 8 && pos < line.size(); ++column) {
            while (pos < line.size() && line[pos] == ' ') ++pos;
            const size_t start = pos;
            while (pos < line.size() && line[pos] != ' ') ++pos;
            columns[column] = line.substr(start, pos - start);
        }
        if (pos + 1 >= line.size()) continue;
        Member member{line.front(), std::string(line.substr(pos + 1)), {}, 0, false};
        for (const char digit : columns[3]) {
            if (digit < '0' || digit > '9') break;
            member.size = addSize(member.size > INT64_MAX / 10 ? INT64_MAX : member.size * 10, digit - '0');
        }
        member.encrypted = !columns[4].empty() && columns[4].front() >= 'A' && columns[4].front() <= 'Z';
        members.push_back(std::move(member));
    }
    return members;
}

std::optional<std::string> insidePath(const std::string& name)
{
    const auto parts = insideParts(name);
    if (!parts) return std::nullopt;
    return joined(*parts, parts->size());
}

bool Escapes::leaves(const Member& member)
{
    const auto parts = insideParts(member.name);
    if (!parts) return true;
    for (size_t i = 1; i < parts->size(); ++i) {
        if (links_.count(joined(*parts, i))) return true;
    }
    const std::string path = joined(*parts, parts->size());
    if (member.type == 'h') {
        const auto target = insideParts(member.link);
        if (!target) return true;
        // A hard link to a symbolic link is that link again.
        if (links_.count(joined(*target, target->size()))) links_.insert(path);
    }
    if (member.type == 'l') {
        // A link named "." would replace the extraction folder itself.
        if (path.empty()) return true;
        links_.insert(path);
    }
    return false;
}

std::optional<std::string> firstEscaping(const Members& members)
{
    Escapes escapes;
    for (const Member& member : members) {
        if (escapes.leaves(member)) return member.name;
    }
    return std::nullopt;
}

std::string refused(const Path& archive, const std::string& reason)
{
    return archive.filename().string() + " wasn't extracted: " + reason;
}

std::string item(std::string name, const std::string& what)
{
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20) c = '?';
    }
    return "its item \"" + name + "\" " + what;
}

std::int64_t addSize(std::int64_t total, std::int64_t size)
{
    if (size <= 0) return total;
    return size > INT64_MAX - total ? INT64_MAX : total + size;
}

std::int64_t freeSpace(const Path& folder)
{
    struct statvfs disk {};
    if (::statvfs(folder.c_str(), &disk) != 0) return INT64_MAX;
    return static_cast<std::int64_t>(disk.f_bavail) * static_cast<std::int64_t>(disk.f_frsize);
}

std::string tooLarge(const Path& archive, std::int64_t free)
{
    return refused(archive, "it expands to more than the " + QLocale().formattedDataSize(free, 1, QLocale::DataSizeSIFormat).toStdString() + " free on the disk");
}

}
