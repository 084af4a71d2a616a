#include "documents/ODT.h"

#include "documents/Package.h"
#include "documents/TextModel.h"
#include "documents/XmlStream.h"

#include <QColor>
#include <QTextDocument>

#include <cstring>
#include <map>
#include <vector>

namespace ODT {

namespace {
constexpr std::string_view TextNS = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
constexpr std::string_view TableNS = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
constexpr std::string_view StyleNS = "urn:oasis:names:tc:opendocument:xmlns:style:1.0";
constexpr std::string_view FoNS = "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0";
constexpr std::string_view DrawNS = "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0";
constexpr std::string_view OfficeNS = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr std::string_view XlinkNS = "http://www.w3.org/1999/xlink";

const char* attribute(const char** attributes, std::string_view space, const char* name)
{
    return XmlStream::attribute(attributes, (std::string(space) + " " + name).c_str());
}

std::string valueOf(const char* value)
{
    return value ? value : "";
}

struct Style {
    std::string parent;
    QTextCharFormat format;
};

// Named and automatic styles of both parts: each style's text properties, and whether each
// level of each list style counts.
struct Styles : XmlStream::Handler {
    std::map<std::string, Style> styles;
    std::map<std::pair<std::string, int>, bool> orderedLevels;
    std::string current, list;

    void start(const char* name, const char** attributes) override
    {
        if (const char* local = XmlStream::local(name, StyleNS)) {
            if (std::strcmp(local, "style") == 0) {
                current = valueOf(attribute(attributes, StyleNS, "name"));
                styles[current].parent = valueOf(attribute(attributes, StyleNS, "parent-style-name"));
            } else if (std::strcmp(local, "text-properties") == 0 && !current.empty()) {
                properties(styles[current].format, attributes);
            }
        } else if (const char* local = XmlStream::local(name, TextNS)) {
            if (std::strcmp(local, "list-style") == 0) list = valueOf(attribute(attributes, StyleNS, "name"));
            const bool number = std::strcmp(local, "list-level-style-number") == 0;
            if ((number || std::strcmp(local, "list-level-style-bullet") == 0) && !list.empty()) {
                const char* level = attribute(attributes, TextNS, "level");
                orderedLevels[{list, level ? std::atoi(level) : 1}] = number;
            }
        }
    }
    void end(const char* name) override
    {
        if (const char* local = XmlStream::local(name, StyleNS); local && std::strcmp(local, "style") == 0) current.clear();
        if (const char* local = XmlStream::local(name, TextNS); local && std::strcmp(local, "list-style") == 0) list.clear();
    }
    void text(std::string_view) override {}

    static void properties(QTextCharFormat& format, const char** attributes)
    {
        const std::string weight = valueOf(attribute(attributes, FoNS, "font-weight"));
        if (!weight.empty()) format.setFontWeight(weight == "bold" || std::atoi(weight.c_str()) >= 600 ? QFont::Bold : QFont::Normal);
        if (const char* style = attribute(attributes, FoNS, "font-style")) format.setFontItalic(std::strcmp(style, "italic") == 0 || std::strcmp(style, "oblique") == 0);
        if (const char* underline = attribute(attributes, StyleNS, "text-underline-style")) format.setFontUnderline(std::strcmp(underline, "none") != 0);
        if (const char* strike = attribute(attributes, StyleNS, "text-line-through-style")) format.setFontStrikeOut(std::strcmp(strike, "none") != 0);
        if (const char* size = attribute(attributes, FoNS, "font-size"); size && std::strstr(size, "pt")) format.setFontPointSize(std::atof(size));
        if (const char* colour = attribute(attributes, FoNS, "color"); colour && QColor(colour).isValid()) format.setForeground(QColor(colour));
        if (const char* font = attribute(attributes, StyleNS, "font-name")) format.setFontFamilies({QString::fromUtf8(font)});
    }

    // The style's text format over its parents'.
    QTextCharFormat format(const std::string& name) const
    {
        std::vector<const Style*> chain;
        std::string at = name;
        for (int depth = 0; depth < 16 && !at.empty(); ++depth) {
            const auto found = styles.find(at);
            if (found == styles.end()) break;
            chain.push_back(&found->second);
            at = found->second.parent;
        }
        QTextCharFormat out;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) out.merge((*it)->format);
        return out;
    }
};

class Body : public XmlStream::Handler {
public:
    explicit Body(const Styles& styles) : styles(styles) {}
    std::vector<TextModel::Block> blocks;

    void start(const char* name, const char** attributes) override
    {
        if (hidden || XmlStream::local(name, DrawNS) || isOffice(name, "annotation")) {
            ++hidden;
            return;
        }
        if (const char* local = XmlStream::local(name, TableNS)) {
            const std::string_view tag = local;
            if (tag == "table") tables.emplace_back();
            else if (tag == "table-row" && !tables.empty()) tables.back().rows.emplace_back();
            else if (tag == "table-cell" && !tables.empty() && !tables.back().rows.empty()) tables.back().rows.back().emplace_back();
            return;
        }
        const char* local = XmlStream::local(name, TextNS);
        if (!local) return;
        const std::string_view tag = local;
        if (tag == "note" || tag == "tracked-changes" || tag == "table-of-content-source" || tag == "sequence-decls") {
            ++hidden;
        } else if (tag == "p" || tag == "h") {
            ++paragraphDepth;
            if (paragraphDepth > 1) return;
            paragraph = {};
            formats = {styles.format(valueOf(attribute(attributes, TextNS, "style-name")))};
            if (tag == "h") {
                const char* level = attribute(attributes, TextNS, "outline-level");
                paragraph.heading = std::clamp(level ? std::atoi(level) : 1, 1, 6);
            }
        } else if (tag == "span") {
            QTextCharFormat format = formats.empty() ? QTextCharFormat() : formats.back();
            format.merge(styles.format(valueOf(attribute(attributes, TextNS, "style-name"))));
            formats.push_back(format);
        } else if (tag == "a") {
            link = QString::fromUtf8(valueOf(attribute(attributes, XlinkNS, "href")));
        } else if (tag == "s") {
            const char* count = attribute(attributes, TextNS, "c");
            add(QString(std::clamp(count ? std::atoi(count) : 1, 1, 1000), ' '));
        } else if (tag == "tab") {
            add("\t");
        } else if (tag == "line-break") {
            add(QString(QChar(0x2028)));
        } else if (tag == "list") {
            if (lists.empty()) {
                listStyle = valueOf(attribute(attributes, TextNS, "style-name"));
                ++listCount;
            }
            lists.push_back(0);
        }
    }

    void end(const char* name) override
    {
        if (hidden) {
            --hidden;
            return;
        }
        const char* local = XmlStream::local(name, TextNS);
        if (const char* tableLocal = XmlStream::local(name, TableNS); tableLocal && std::strcmp(tableLocal, "table") == 0 && !tables.empty()) TextModel::closeTable(blocks, tables);
        if (!local) return;
        const std::string_view tag = local;
        if (tag == "p" || tag == "h") {
            if (--paragraphDepth == 0) finishParagraph();
        } else if (tag == "span" && formats.size() > 1) {
            formats.pop_back();
        } else if (tag == "a") {
            link.clear();
        } else if (tag == "list" && !lists.empty()) {
            lists.pop_back();
        }
    }

    void text(std::string_view text) override
    {
        if (!hidden && paragraphDepth > 0) add(QString::fromUtf8(text.data(), qsizetype(text.size())));
    }

private:
    const Styles& styles;
    int hidden = 0, paragraphDepth = 0;
    TextModel::Paragraph paragraph;
    std::vector<QTextCharFormat> formats;
    QString link;
    std::vector<int> lists;
    std::string listStyle;
    int listCount = 0;
    std::vector<TextModel::Table> tables;

    static bool isOffice(const char* name, const char* local)
    {
        const char* l = XmlStream::local(name, OfficeNS);
        return l && std::strcmp(l, local) == 0;
    }

    void add(const QString& s)
    {
        if (paragraphDepth == 0) return;
        QTextCharFormat format = formats.empty() ? QTextCharFormat() : formats.back();
        if (!link.isEmpty()) {
            format.setAnchor(true);
            format.setAnchorHref(link);
        }
        if (!paragraph.runs.empty() && paragraph.runs.back().format == format) paragraph.runs.back().text += s;
        else paragraph.runs.push_back({s, format});
    }

    void finishParagraph()
    {
        if (!lists.empty() && paragraph.heading == 0) {
            const int level = int(lists.size()) - 1;
            const auto ordered = styles.orderedLevels.find({listStyle, level + 1});
            paragraph.item = TextModel::Paragraph::Item{QString::number(listCount), level, ordered != styles.orderedLevels.end() && ordered->second};
        }
        TextModel::place(blocks, tables, std::move(paragraph));
        paragraph = {};
    }
};
}

std::unique_ptr<QTextDocument> parse(const std::string& content, const std::string& stylesXml)
{
    Styles styles;
    if (!stylesXml.empty()) XmlStream::parse(stylesXml, styles, XmlStream::Names::byNamespace);
    // Automatic styles in the content come before its body, and one pass reads both.
    struct Both : XmlStream::Handler {
        Styles& styles;
        Body body;
        explicit Both(Styles& styles) : styles(styles), body(styles) {}
        void start(const char* name, const char** attributes) override
        {
            styles.start(name, attributes);
            body.start(name, attributes);
        }
        void end(const char* name) override
        {
            styles.end(name);
            body.end(name);
        }
        void text(std::string_view text) override { body.text(text); }
    } both(styles);
    if (!XmlStream::parse(content, both, XmlStream::Names::byNamespace)) throw XmlStream::Malformed();
    return TextModel::build(both.body.blocks);
}

std::unique_ptr<QTextDocument> read(const Path& file)
{
    const std::set<std::string> names = Package::entryNames(file);
    if (!names.count("content.xml")) throw Package::damaged(file);
    try {
        return parse(Package::read(file, "content.xml"), names.count("styles.xml") ? Package::read(file, "styles.xml") : std::string());
    } catch (const XmlStream::Malformed&) {
        throw Package::damaged(file);
    }
}

}
