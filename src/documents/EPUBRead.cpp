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
// What "\w" matches, for the word boundary after a tag name.
bool wordCharacter(QChar c)
{
    return c.unicode() < 128 && (c.isLetterOrNumber() || c == u'_');
}

// Every "<name …>" tag in order, as the pattern "<name\b[^>]*>" finds them, but in one pass:
// run as a pattern, every "<name" without a ">" after it rescans the rest of the text.
std::vector<QString> tags(const QString& text, const QString& name)
{
    const QString open = "<" + name;
    std::vector<QString> found;
    qsizetype close = -1;
    for (qsizetype at = text.indexOf(open); at >= 0; at = text.indexOf(open, at + 1)) {
        const qsizetype after = at + open.size();
        if (after < text.size() && wordCharacter(text[after])) continue;
        if (close < after) close = text.indexOf(u'>', after);
        if (close < 0) break;
        found.push_back(text.sliced(at, close + 1 - at));
        at = close;
    }
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

// The text between "<body…>" and the last "</body>" after it; the whole text without them.
QString body(const QString& text)
{
    const qsizetype open = text.indexOf(u"<body");
    const qsizetype openEnd = open < 0 ? -1 : text.indexOf(u'>', open) + 1;
    if (openEnd <= 0) return text;
    const qsizetype close = text.lastIndexOf(u"</body>");
    if (close < openEnd) return text;
    return text.sliced(openEnd, close - openEnd);
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
    for (const QString& item : tags(opf, "item")) {
        const auto id = attribute(item, "id");
        const auto href = attribute(item, "href");
        if (id && href) manifest[*id] = *href;
    }

    QStringList parts;
    for (const QString& itemref : tags(opf, "itemref")) {
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
