#include "documents/Package.h"

#include "core/Output.h"
#include "core/Shell.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <vector>

namespace fs = std::filesystem;

namespace Package {

namespace {
const Path zipProgram = "/usr/bin/zip";
const Path unzipProgram = "/usr/bin/unzip";

// zip reads a name that starts with "-" as an option; "./" keeps it a name.
std::string asName(const std::string& name)
{
    return name.starts_with("-") ? "./" + name : name;
}
}

void write(const Entries& files, const std::optional<std::string>& mimetype, const Path& to)
{
    Output::ScratchDir staging;
    Entries entries = files;
    if (mimetype) entries["mimetype"] = *mimetype;
    for (const auto& [name, text] : entries) {
        const Path file = staging.path() / name;
        fs::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!out) throw std::system_error(errno, std::generic_category(), file.string());
    }

    const Path destination = absoluteNormal(to);
    std::error_code ec;
    fs::remove_all(destination, ec);
    Output::Pending pending(destination);
    if (mimetype) {
        Shell::run(zipProgram, {"-q", "-X", "-0", destination.string(), "mimetype"}, staging.path());
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(staging.path())) {
            if (entry.path().filename() != "mimetype") names.push_back(asName(entry.path().filename().string()));
        }
        if (!names.empty()) {
            std::sort(names.begin(), names.end());
            std::vector<std::string> args = {"-q", "-X", "-r", "-9", destination.string()};
            args.insert(args.end(), names.begin(), names.end());
            Shell::run(zipProgram, args, staging.path());
        }
    } else {
        std::vector<std::string> args = {"-q", "-X", "-r", destination.string()};
        std::set<std::string> seen;
        for (const auto& [name, text] : entries) {
            const std::string top = name.substr(0, name.find('/'));
            if (seen.insert(top).second) args.push_back(asName(top));
        }
        Shell::run(zipProgram, args, staging.path());
    }
    pending.keep();
}

std::string read(const Path& zip, const std::string& entry)
{
    std::string escaped;
    for (char c : entry) {
        if (c == '[' || c == ']' || c == '*' || c == '?') escaped += '\\';
        escaped += c;
    }
    return Shell::run(unzipProgram, {"-p", absoluteNormal(zip).string(), escaped});
}

}
