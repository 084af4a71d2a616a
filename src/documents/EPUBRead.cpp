#include "documents/EPUB.h"

#include "core/Errors.h"
#include "documents/Package.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>

#include <map>
#include <optional>
#include <vector>

namespace EPUB {

namespace {
// The texts of all matches of pattern in text, in order.
std::vector<QString> matches(const QString& pattern, const QString& text)
{
    std::vector<QString> found;
    for (auto it = QRegularExpression(pattern).globalMatch(text); it.hasNext();) found.push_back(it.next().captured());
    return found;
}

std::optional<QString> firstMatch(const QString& pattern, const QString& text)
{
    const auto m = QRegularExpression(pattern).match(text);
    return m.hasMatch() ? std::optional(m.captured()) : std::nullopt;
}

// The value of name="…" inside one tag.
std::optional<QString> attribute(const QString& tag, const QString& name)
{
    const auto found = firstMatch("\\b" + name + "=\"[^\"]*\"", tag);
    if (!found) return std::nullopt;
    return found->sliced(name.size() + 2, found->size() - name.size() - 3);
}

// Percent-decoded href; unchanged when an escape is malformed or the bytes are not UTF-8.
QString percentDecoded(const QString& href)
{
    static const QRegularExpression badEscape("%(?![0-9A-Fa-f]{2})");
    if (badEscape.match(href).hasMatch()) return href;
    const QByteArray bytes = QByteArray::fromPercentEncoding(href.toUtf8());
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString decoded = utf8(bytes);
    return utf8.hasError() ? href : decoded;
}

// The entry path of a chapter: relative to the package document, with "." and ".." resolved
// inside the book. A path that climbs above the top of the book, or is absolute, gives none.
std::optional<std::string> entryPath(const QString& base, const QString& href)
{
    if (href.startsWith(u'/')) return std::nullopt;
    QStringList parts = base.isEmpty() ? QStringList{} : base.split(u'/');
    for (const QString& part : href.split(u'/')) {
        if (part.isEmpty() || part == u".") continue;
        if (part == u"..") {
            if (parts.isEmpty()) return std::nullopt;
            parts.removeLast();
        } else {
            parts.push_back(part);
        }
    }
    if (parts.isEmpty()) return std::nullopt;
    return parts.join(u'/').toStdString();
}

// An entry the book needs; any failure to get it means the file is not a book we can read.
QString required(const Path& book, const std::string& entry)
{
    try {
        return QString::fromStdString(Package::read(book, entry));
    } catch (const KError&) {
        throw KError("Not a valid EPUB");
    }
}

QString body(const QString& text)
{
    static const QRegularExpression open("<body[^>]*>");
    const auto m = open.match(text);
    if (!m.hasMatch()) return text;
    const qsizetype close = text.lastIndexOf(u"</body>");
    if (close < m.capturedEnd()) return text;
    return text.sliced(m.capturedEnd(), close - m.capturedEnd());
}
}

std::string readHTML(const Path& book)
{
    const auto packagePath = firstMatch("full-path=\"[^\"]+\"", required(book, "META-INF/container.xml"));
    if (!packagePath) throw KError("Not a valid EPUB");
    const QString opfPath = packagePath->sliced(11, packagePath->size() - 12);
    const QString opf = required(book, opfPath.toStdString());
    const qsizetype slash = opfPath.lastIndexOf(u'/');
    const QString base = slash < 0 ? QString() : opfPath.first(slash);

    std::map<QString, QString> manifest;
    for (const QString& item : matches("<item\\b[^>]*>", opf)) {
        const auto id = attribute(item, "id");
        const auto href = attribute(item, "href");
        if (id && href) manifest[*id] = *href;
    }

    QStringList parts;
    for (const QString& itemref : matches("<itemref\\b[^>]*>", opf)) {
        const auto idref = attribute(itemref, "idref");
        const auto item = idref ? manifest.find(*idref) : manifest.end();
        if (item == manifest.end()) continue;
        const QString href = item->second.section(u'#', 0, 0);
        const auto entry = entryPath(base, percentDecoded(href));
        if (!entry) continue;
        try {
            parts.push_back(body(QString::fromStdString(Package::read(book, *entry))));
        } catch (const KError&) {
            continue;
        }
    }
    if (parts.isEmpty()) throw KError("This EPUB has no readable text");
    return "<html><head><meta charset=\"utf-8\"></head><body>" + parts.join(u'\n').toStdString() + "</body></html>";
}

}
