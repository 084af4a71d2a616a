#include "documents/LibreOffice.h"

#include "core/Errors.h"
#include "core/Files.h"
#include "core/Output.h"
#include "core/Shell.h"
#include "core/Tools.h"

#include <QUrl>

#include <chrono>
#include <map>
#include <set>

namespace LibreOffice {

namespace {
// coreutils' timeout puts soffice in a process group of its own and at the limit ends the
// whole group (soffice starts helpers), killing it if it ignores that. Being in a group of its
// own, it would outlive a cancelled job: setpriv has the kernel send timeout a TERM when the
// process that started it ends, which timeout passes on to the group in the same way.
const Path setprivProgram = "/usr/bin/setpriv";
const Path timeoutProgram = "/usr/bin/timeout";

std::string fileURL(const Path& folder)
{
    return QUrl::fromLocalFile(QString::fromStdString(folder.string())).toString(QUrl::FullyEncoded).toStdString();
}

// LibreOffice names an output after its source with the last extension replaced.
Path outputName(const Path& source, const Filter& filter)
{
    Path name = source.filename();
    name.replace_extension(filter.ext);
    return name;
}

// Sources in runs whose outputs all have different names, in source order.
std::vector<std::vector<std::size_t>> runsOf(const Paths& sources, const Filter& filter)
{
    std::vector<std::vector<std::size_t>> runs;
    std::vector<std::set<Path>> names;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const Path name = outputName(sources[i], filter);
        std::size_t run = 0;
        while (run < runs.size() && names[run].count(name)) ++run;
        if (run == runs.size()) {
            runs.emplace_back();
            names.emplace_back();
        }
        runs[run].push_back(i);
        names[run].insert(name);
    }
    return runs;
}

// One soffice start for the files; returns what it printed (a "convert <source> -> …" line
// for each source it could open).
std::string run(const Paths& files, const Filter& filter, const Path& folder)
{
    const auto soffice = Tools::soffice();
    if (!soffice) throw KError("This needs LibreOffice — install it with: sudo apt install libreoffice-writer");
    const Output::ScratchDir profile;
    const int limit = timeLimitSeconds * int(files.size());
    // Absolute paths never start with "-", so no file name is read as an option.
    std::vector<std::string> args = {"--pdeathsig", "TERM", "--", timeoutProgram.string(), "-k", "10", std::to_string(limit), soffice->string(),
                                     "-env:UserInstallation=" + fileURL(profile.path()),
                                     "--headless", "--norestore", "--nologo", "--nolockcheck", "--convert-to", filter.name, "--outdir", folder.string()};
    for (const Path& file : files) args.push_back(file.string());
    const auto started = std::chrono::steady_clock::now();
    try {
        return Shell::run(setprivProgram, args);
    } catch (const KError&) {
        if (std::chrono::steady_clock::now() - started < std::chrono::seconds(limit)) throw;
        const std::string what = files.size() == 1 ? files.front().filename().string() : std::to_string(files.size()) + " files";
        throw KError("LibreOffice took more than " + std::to_string(limit / 60) + " minutes on " + what + " and was stopped.");
    }
}
}

bool isInstalled()
{
    return Tools::soffice().has_value();
}

const Path& Converted::take() const
{
    if (!file) throw KError(failure);
    return *file;
}

std::vector<Converted> convertAll(const Paths& sources, const Filter& filter, const Path& folder)
{
    std::vector<Converted> results(sources.size());
    const auto runs = runsOf(sources, filter);
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const Path out = runs.size() == 1 ? absoluteNormal(folder) : absoluteNormal(folder) / std::to_string(r + 1);
        Files::createFolders(out);
        Paths files;
        for (std::size_t i : runs[r]) files.push_back(absoluteNormal(sources[i]));
        const std::string printed = run(files, filter, out);
        for (std::size_t k = 0; k < files.size(); ++k) {
            Converted& result = results[runs[r][k]];
            const Path written = out / outputName(files[k], filter);
            if (std::filesystem::is_regular_file(written)) result.file = written;
            else if (printed.find("convert " + files[k].string() + " -> ") == std::string::npos)
                result.failure = "LibreOffice couldn't open " + files[k].filename().string() + " — it may be damaged or password-protected.";
            else result.failure = "LibreOffice didn't produce a file";
        }
    }
    return results;
}

Path convert(const Path& source, const Filter& filter, const Path& folder)
{
    return convertAll({source}, filter, folder).front().take();
}

Path convert(const Path& source, const std::string& ext, const Path& folder)
{
    static const std::map<std::string, std::string> filters = {
        {"docx", "docx:MS Word 2007 XML"}, {"doc", "doc:MS Word 97"}, {"pdf", "pdf:writer_pdf_Export"}, {"txt", "txt:Text (encoded):UTF8"}};
    const auto filter = filters.find(ext);
    return convert(source, Filter{ext, filter == filters.end() ? ext : filter->second}, folder);
}

}
