#include "documents/EPUB.h"

#include "core/Errors.h"
#include "documents/Markdown.h"
#include "documents/Package.h"

#include <QDateTime>
#include <QUuid>

#include <expat.h>

#include <memory>

namespace EPUB {

namespace {
const char* const style =
    "body{font-family:serif;line-height:1.5;margin:1em}pre{white-space:pre-wrap;font-family:monospace}"
    "blockquote{margin-left:1em;color:#555}";

const char* const container =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
    "  <rootfiles><rootfile full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/></rootfiles>\n"
    "</container>";

std::string packageDocument(const std::string& identifier, const std::string& title, const std::string& modified)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" unique-identifier=\"bookid\">\n"
           "  <metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
           "    <dc:identifier id=\"bookid\">" + identifier + "</dc:identifier>\n"
           "    <dc:title>" + title + "</dc:title>\n"
           "    <dc:language>en</dc:language>\n"
           "    <meta property=\"dcterms:modified\">" + modified + "</meta>\n"
           "  </metadata>\n"
           "  <manifest>\n"
           "    <item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" properties=\"nav\"/>\n"
           "    <item id=\"text\" href=\"text.xhtml\" media-type=\"application/xhtml+xml\"/>\n"
           "    <item id=\"css\" href=\"style.css\" media-type=\"text/css\"/>\n"
           "  </manifest>\n"
           "  <spine><itemref idref=\"text\"/></spine>\n"
           "</package>";
}

std::string navigation(const std::string& title)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
           "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\">\n"
           "<head><meta charset=\"utf-8\"/><title>" + title + "</title></head>\n"
           "<body><nav epub:type=\"toc\"><ol><li><a href=\"text.xhtml\">" + title + "</a></li></ol></nav></body>\n"
           "</html>";
}

std::string chapter(const std::string& title, const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
           "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\" xml:lang=\"en\">\n"
           "<head><meta charset=\"utf-8\"/><title>" + title + "</title><link rel=\"stylesheet\" type=\"text/css\" href=\"style.css\"/></head>\n"
           "<body>\n" + body + "\n</body>\n</html>";
}

bool space(QChar c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// Every "<name …>" (any case) becomes "<name …/>": the replacement of the pattern
// "<name((?:\s[^>]*?)?)\s*/?>" by "<name$1/>", done in one pass, because that pattern retries
// its tail at every character of a long run of spaces inside a tag.
QString closeVoid(const QString& text, const QString& name)
{
    QString out;
    qsizetype done = 0;
    qsizetype close = -1;
    for (qsizetype at = text.indexOf(u'<'); at >= 0; at = text.indexOf(u'<', at + 1)) {
        const qsizetype from = at + 1 + name.size();
        if (!QStringView(text).sliced(at + 1).startsWith(name, Qt::CaseInsensitive)) continue;
        if (close < from) close = text.indexOf(u'>', from);
        if (close < 0) break;
        const QStringView inside = QStringView(text).sliced(from, close - from);
        QStringView attributes;
        if (!inside.isEmpty() && space(inside[0])) {
            // The attributes keep their first space and lose trailing spaces and one "/".
            qsizetype end = inside.size();
            if (end > 1 && inside[end - 1] == u'/') --end;
            while (end > 1 && space(inside[end - 1])) --end;
            attributes = inside.first(end);
        } else if (!inside.isEmpty() && inside != u"/") {
            continue;
        }
        out.append(QStringView(text).sliced(done, at - done)).append(u'<').append(name).append(attributes).append(u"/>");
        done = close + 1;
        at = close;
    }
    if (done == 0) return text;
    return out.append(QStringView(text).sliced(done));
}

// XML has no place for most control characters, not even as references; a reader refuses
// the whole book over one.
QString xmlCharacters(QString text)
{
    text.removeIf([](QChar c) { return (c < u'\x20' && c != u'\t' && c != u'\n' && c != u'\r') || c == u'\xfffe' || c == u'\xffff'; });
    return text;
}

// Reading systems refuse a chapter that is not well-formed XML; such a book is never written.
void checkWellFormed(const std::string& xhtml, const Path& to)
{
    const std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser(XML_ParserCreate("UTF-8"), &XML_ParserFree);
    if (XML_Parse(parser.get(), xhtml.data(), static_cast<int>(xhtml.size()), XML_TRUE) == XML_STATUS_OK) return;
    throw KError("Couldn't write " + to.filename().string() + ": its text isn't well-formed XHTML");
}
}

std::string xhtmlSafe(const std::string& html)
{
    QString text = xmlCharacters(QString::fromStdString(html));
    for (const char* name : {"br", "hr", "img", "meta", "link", "input"}) text = closeVoid(text, QString::fromLatin1(name));
    return text.replace(QStringLiteral("&nbsp;"), QStringLiteral("&#160;")).toStdString();
}

void write(const std::string& title, const std::string& bodyHTML, const Path& to)
{
    const std::string identifier = "urn:uuid:" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLower().toStdString();
    const std::string modified = QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString();
    const std::string escaped = Markdown::escape(xmlCharacters(QString::fromStdString(title))).toStdString();
    const std::string text = chapter(escaped, xhtmlSafe(bodyHTML));
    checkWellFormed(text, to);
    Package::write({{"META-INF/container.xml", container},
                    {"OEBPS/content.opf", packageDocument(identifier, escaped, modified)},
                    {"OEBPS/nav.xhtml", navigation(escaped)},
                    {"OEBPS/text.xhtml", text},
                    {"OEBPS/style.css", style}},
                   "application/epub+zip", to);
}

}
