#include "documents/LibreOffice.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "core/Shell.h"
#include "core/Tools.h"

#include <QUrl>

#include <chrono>
#include <map>

namespace LibreOffice {

namespace {
// coreutils' timeout ends soffice at the limit, and kills it if it ignores that.
const Path timeoutProgram = "/usr/bin/timeout";
}

bool isInstalled()
{
    return Tools::soffice().has_value();
}

Path convert(const Path& source, const std::string& ext, const Path& folder)
{
    const auto soffice = Tools::soffice();
    if (!soffice) throw KError("This needs LibreOffice — install it with: sudo apt install libreoffice-writer");
    static const std::map<std::string, std::string> filters = {
        {"docx", "docx:MS Word 2007 XML"}, {"doc", "doc:MS Word 97"}, {"pdf", "pdf:writer_pdf_Export"}, {"txt", "txt:Text (encoded):UTF8"}};
    const auto filter = filters.find(ext);
    const std::string target = filter == filters.end() ? ext : filter->second;
    const Output::ScratchDir profile;
    const Path input = absoluteNormal(source);
    const auto started = std::chrono::steady_clock::now();
    try {
        Shell::run(timeoutProgram, {"-k", "10", std::to_string(timeLimitSeconds), soffice->string(),
                                    "-env:UserInstallation=" + QUrl::fromLocalFile(QString::fromStdString(profile.path().string())).toString().toStdString(),
                                    "--headless", "--norestore", "--nologo", "--convert-to", target, "--outdir", absoluteNormal(folder).string(), input.string()});
    } catch (const KError& error) {
        if (std::chrono::steady_clock::now() - started >= std::chrono::seconds(timeLimitSeconds)) {
            throw KError("LibreOffice took more than " + std::to_string(timeLimitSeconds / 60) + " minutes on " + source.filename().string() + " and was stopped.");
        }
        throw;
    }
    Path output = folder / source.filename();
    output.replace_extension(ext);
    if (!std::filesystem::exists(output)) throw KError("LibreOffice couldn't convert " + source.filename().string() + ".");
    return output;
}

}
