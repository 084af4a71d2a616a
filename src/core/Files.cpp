#include "core/Files.h"

#include "core/Errors.h"

namespace fs = std::filesystem;

namespace Files {

namespace {
std::string nameOf(const Path& item)
{
    const Path name = item.filename().empty() ? item.parent_path().filename() : item.filename();
    return name.empty() ? item.string() : name.string();
}

// Runs one operation; `writing` when a refusal can only come from the folder being changed.
template <typename Operation>
void attempt(const std::string& verb, const Path& item, bool writing, Operation&& operation)
{
    std::error_code code;
    operation(code);
    if (code) throw KError(failure(verb, item, code, writing));
}
}

std::string failure(const std::string& verb, const Path& item, std::error_code code, bool writing)
{
    return "Couldn't " + verb + " " + nameOf(item) + ": " + Errors::reason(code, writing);
}

void rename(const Path& from, const Path& to)
{
    attempt("move", from, true, [&](std::error_code& code) { fs::rename(from, to, code); });
}

void createFolders(const Path& folder)
{
    attempt("create", folder, true, [&](std::error_code& code) { fs::create_directories(folder, code); });
}

void copy(const Path& from, const Path& to, fs::copy_options options)
{
    attempt("copy", from, false, [&](std::error_code& code) { fs::copy(from, to, options, code); });
}

void symlink(const Path& target, const Path& link)
{
    attempt("create", link, true, [&](std::error_code& code) { fs::create_symlink(target, link, code); });
}

}
