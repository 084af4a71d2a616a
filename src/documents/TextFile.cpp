#include "documents/TextFile.h"

#include "core/Errors.h"
#include "core/Files.h"

#include <QByteArray>
#include <QSaveFile>
#include <QStringDecoder>

#include <cerrno>
#include <fstream>
#include <sstream>

namespace TextFile {

std::string decode(const std::string& bytes)
{
    const QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (const auto marked = QStringConverter::encodingForData(data)) {
        QStringDecoder decoder(*marked);
        return QString(decoder(data)).toStdString();
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8(data);
    if (!utf8.hasError()) return text.toStdString();
    return QString::fromLatin1(data).toStdString();
}

std::string read(const Path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) throw KError(Files::failure("read", file, {errno, std::generic_category()}, false));
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) throw KError(Files::failure("read", file, {errno, std::generic_category()}, false));
    return decode(bytes.str());
}

void write(const Path& file, const std::string& text)
{
    QSaveFile out(QString::fromStdString(file.string()));
    const bool written = out.open(QIODevice::WriteOnly) && out.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
    if (!written || !out.commit()) {
        throw KError("Couldn't write " + file.filename().string() + ": " + out.errorString().toStdString());
    }
}

}
