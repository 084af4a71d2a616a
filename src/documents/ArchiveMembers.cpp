#include "documents/ArchiveMembers.h"

#include <set>

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

// Decodes the C-quoted string that starts at line[pos] and moves pos past its closing quote.
std::optional<std::string> unquote(std::string_view line, size_t& pos)
{
    if (pos >= line.size() || line[pos] != '"') return std::nullopt;
    std::string out;
    for (size_t i = pos + 1; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            pos = i + 1;
            return out;
        }
        if (c == '\\' && i + 1 < line.size()) {
            c = line[++i];
            if (c >= '0' && c <= '7') {
                int value = 0;
                for (int digits = 0; digits < 3 && i < line.size() && line[i] >= '0' && line[i] <= '7'; ++digits, ++i) value = value * 8 + (line[i] - '0');
                --i;
                c = static_cast<char>(value);
            } else {
                switch (c) {
                case 'n': c = '\n'; break;
                case 't': c = '\t'; break;
                case 'r': c = '\r'; break;
                case 'a': c = '\a'; break;
                case 'b': c = '\b'; break;
                case 'f': c = '\f'; break;
                case 'v': c = '\v'; break;
                default: break;
                }
            }
        }
        out += c;
    }
    return std::nullopt;
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

Members fromTarListing(std::string_view text)
{
    Members members;
    for (std::string_view line : lines(text)) {
        size_t pos = line.find('"');
        if (pos == std::string_view::npos) continue;
        auto name = unquote(line, pos);
        if (!name) continue;
        Member member{line.front(), *name, {}};
        for (std::string_view arrow : {std::string_view(" -> "), std::string_view(" link to ")}) {
            if (line.substr(pos).starts_with(arrow)) {
                pos += arrow.size();
                member.link = unquote(line, pos).value_or(std::string{});
            }
        }
        members.push_back(std::move(member));
    }
    return members;
}

Members fromZipListing(std::string_view text)
{
    // Eight columns (mode, version, system, size, kind, method, date, time), then the name.
    Members members;
    for (std::string_view line : lines(text)) {
        size_t pos = 0;
        for (int column = 0; column < 8 && pos < line.size(); ++column) {
            while (pos < line.size() && line[pos] == ' ') ++pos;
            while (pos < line.size() && line[pos] != ' ') ++pos;
        }
        if (pos + 1 >= line.size()) continue;
        members.push_back({line.front(), std::string(line.substr(pos + 1)), {}});
    }
    return members;
}

std::optional<std::string> firstEscaping(const Members& members)
{
    std::set<std::string> links;
    for (const Member& member : members) {
        const auto parts = insideParts(member.name);
        if (!parts) return member.name;
        for (size_t i = 1; i < parts->size(); ++i) {
            if (links.count(joined(*parts, i))) return member.name;
        }
        const std::string path = joined(*parts, parts->size());
        if (member.type == 'h') {
            const auto target = insideParts(member.link);
            if (!target) return member.name;
            // A hard link to a symbolic link is that link again.
            if (links.count(joined(*target, target->size()))) links.insert(path);
        }
        if (member.type == 'l') {
            // A link named "." would replace the extraction folder itself.
            if (path.empty()) return member.name;
            links.insert(path);
        }
    }
    return std::nullopt;
}

}
