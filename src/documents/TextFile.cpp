#include "documents/TextFile.h"

#include "core/Errors.h"
#include "core/Files.h"
#include "documents/Utf8.h"

#include <QByteArray>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TextFile {

namespace {
// Whether the bytes are UTF-8 that decoding would return unchanged: well-formed, without a
// byte-order mark, and (to stay clear of any decoder's own choices) without NUL bytes or
// noncharacters.
bool plainUtf8(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF")) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        // Eight ASCII bytes at a time, none of them NUL.
        if (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, p + i, 8);
            constexpr std::uint64_t high = 0x8080808080808080ULL, low = 0x0101010101010101ULL;
            if (((word | ((word - low) & ~word)) & high) == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned char lead = p[i];
        if (lead != 0 && lead < 0x80) {
            ++i;
            continue;
        }
        const Utf8::Sequence found = Utf8::sequenceAt(bytes, i);
        const std::uint32_t c = found.character;
        if (found.length == 0 || (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE) return false;
        i += found.length;
    }
    return true;
}
}

std::string decode(std::string bytes)
{
    // Most files are plain UTF-8 already, and large ones are worth not copying twice.
    if (plainUtf8(bytes)) return bytes;
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
    struct stat info {};
    // Read in place at the size the file has now; a file that grows meanwhile reads on.
    if (::fstat(fd, &info) == 0 && info.st_size > 0) bytes.reserve(static_cast<std::size_t>(info.st_size) + 1);
    for (;;) {
        if (bytes.size() == bytes.capacity()) bytes.reserve(std::max<std::size_t>(bytes.capacity() * 2, 65536));
        const std::size_t before = bytes.size();
        bytes.resize(bytes.capacity());
        const ssize_t got = ::read(fd, bytes.data() + before, bytes.size() - before);
        bytes.resize(before + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            const int error = errno;
            ::close(fd);
            if (got < 0) throw KError(Files::failure("read", file, {error, std::generic_category()}, false));
            return decode(std::move(bytes));
        }
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
