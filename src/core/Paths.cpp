#include "core/Paths.h"

#include <algorithm>

std::string lowerAscii(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : char(c); });
    return s;
}

std::string upperAscii(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : char(c); });
    return s;
}

std::string lowerExt(const Path& p)
{
    const std::string ext = p.extension().string();
    return ext.empty() ? std::string{} : lowerAscii(ext.substr(1));
}

Path absoluteNormal(const Path& p)
{
    Path normal = std::filesystem::absolute(p).lexically_normal();
    // "a/b/" normalises to "a/b/" with an empty file name; drop the trailing separator.
    if (normal.has_relative_path() && normal.filename().empty()) normal = normal.parent_path();
    return normal;
}
