#include "presets/StoredList.h"

#include "core/Errors.h"
#include "core/Files.h"
#include "core/Output.h"
#include "core/Settings.h"

#include <QByteArray>
#include <QFileInfo>

#include <fstream>

namespace StoredList {

std::optional<std::string> read(const char* key)
{
    const QVariant value = Settings::value(key);
    if (!value.isValid()) return std::nullopt;
    const QByteArray bytes = value.toByteArray();
    return bytes.toStdString();
}

void write(const char* key, const std::string& json, const std::function<bool(const std::string&)>& readable)
{
    if (const auto old = read(key); old && !readable(*old)) {
        const Path folder = QFileInfo(Settings::fileName()).absolutePath().toStdString();
        Files::createFolders(folder);
        Output::Pending copy(Output::unique(folder, std::string(key) + " (unreadable)", "json"));
        std::ofstream out(copy.path(), std::ios::binary | std::ios::trunc);
        out.write(old->data(), static_cast<std::streamsize>(old->size()));
        out.close();
        if (!out) throw KError("Couldn't keep the unreadable " + std::string(key) + " before replacing them: " + Errors::reason(std::make_error_code(std::errc::io_error), true));
        const Path kept = copy.keep();
        emit Settings::notifier().problem(QString::fromStdString("Unreadable " + std::string(key) + " kept as " + kept.filename().string()));
    }
    Settings::setValue(key, QByteArray::fromStdString(json));
}

}
