#include "documents/TextFile.h"

#include "core/Errors.h"
#include "core/Files.h"

#include <QByteArray>
#include <QSaveFile>
#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace TextFile {

std::string decode(const std::string& bytes)
{
    const QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (const auto marked = QStringConverter::encodingForData(data)) {
        QStringDecoder decoder(*marked);
        return QString(decoder(data)).toStdString();
    }
    // Stateless: a lead byte at the very end (Latin-1 "café") is an error, not a sequence
    // waiting for more input.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(data);
    if (!utf8.hasError()) return text.toStdString();
    return QString::fromLatin1(data).toStdString();
}

std::string read(const Path& file)
{
    // Close-on-exec, like every descriptor: programs started meanwhile hold none of them.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw KError(Files::failure("read", file, {errno, std::generic_category()}, false));
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            const int error = errno;
            ::close(fd);
            if (got < 0) throw KError(Files::failure("read", file, {error, std::generic_category()}, false));
            return decode(bytes);
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
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
